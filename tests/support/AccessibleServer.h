#pragma once

// A window that serves its own accessible object (WM_GETOBJECT with LresultFromObject), as
// programs that draw their own lists do: a tree of elements with roles, names and states.
// Children are simple elements (child identifiers of their parent) or objects of their own.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testsupport
{

struct AccessibleNode
{
    AccessibleNode(LONG nodeRole = ROLE_SYSTEM_CLIENT, std::wstring nodeName = {},
                   LONG nodeState = 0, bool object = false,
                   std::vector<AccessibleNode> nodeChildren = {})
        : role(nodeRole), name(std::move(nodeName)), state(nodeState), isObject(object),
          children(std::move(nodeChildren))
    {
    }

    LONG role = ROLE_SYSTEM_CLIENT;
    std::wstring name;
    LONG state = 0;
    // Handed out as an object of its own (VT_DISPATCH) rather than as a child identifier.
    bool isObject = false;
    std::vector<AccessibleNode> children;
    std::wstring value;       // none when empty
    std::wstring description; // none when empty
    // Its children are handed out through an enumerator (IEnumVARIANT), as some programs do,
    // where a child may come as an entry that is neither an object nor a child identifier
    // (VT_EMPTY), or end a batch with nothing given for it.
    bool enumerates = false;
    bool notAnElement = false;
    bool notGiven = false;
};

class AccessibleObject;

// The accessible objects of one window: made once, kept until this goes (after the window).
class AccessibleTree
{
  public:
    // hitTest, when given, tells the root's child at a screen point (CHILDID_SELF for none);
    // otherwise the root answers its hit test with itself.
    explicit AccessibleTree(const AccessibleNode& root,
                            std::function<LONG(POINT)> hitTest = nullptr);
    AccessibleTree(const AccessibleTree&) = delete;
    AccessibleTree& operator=(const AccessibleTree&) = delete;
    ~AccessibleTree();

    // A child window of parent at place that answers WM_GETOBJECT for its client area with
    // the tree's root, made on the calling thread; of the class named, or of a class of the
    // tests' own.
    HWND AddWindow(HWND parent, RECT place, const wchar_t* className = nullptr) const;
    // The answer to WM_GETOBJECT; 0 for other objects than the client area.
    LRESULT Serve(WPARAM wParam, LPARAM lParam) const;

  private:
    // A copy of the nodes, which the objects refer to for as long as the tree lives.
    const AccessibleNode m_node;
    std::unique_ptr<AccessibleObject> m_root;
};

} // namespace testsupport
