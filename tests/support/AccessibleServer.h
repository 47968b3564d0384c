#pragma once

// A window that serves its own accessible object (WM_GETOBJECT with LresultFromObject), as
// programs that draw their own lists do: a tree of elements with roles, names and states.
// Children are simple elements (child identifiers of their parent) or objects of their own.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

namespace testsupport
{

struct AccessibleNode
{
    LONG role = ROLE_SYSTEM_CLIENT;
    std::wstring name;
    LONG state = 0;
    // Handed out as an object of its own (VT_DISPATCH) rather than as a child identifier.
    bool isObject = false;
    std::vector<AccessibleNode> children;
};

class AccessibleObject;

// The accessible objects of one window: made once, kept until this goes (after the window).
class AccessibleTree
{
  public:
    explicit AccessibleTree(const AccessibleNode& root);
    AccessibleTree(const AccessibleTree&) = delete;
    AccessibleTree& operator=(const AccessibleTree&) = delete;
    ~AccessibleTree();

    // A child window of parent at place that answers WM_GETOBJECT for its client area with
    // the tree's root, made on the calling thread.
    HWND AddWindow(HWND parent, RECT place) const;
    // The answer to WM_GETOBJECT; 0 for other objects than the client area.
    LRESULT Serve(WPARAM wParam, LPARAM lParam) const;

  private:
    std::unique_ptr<AccessibleObject> m_root;
};

} // namespace testsupport
