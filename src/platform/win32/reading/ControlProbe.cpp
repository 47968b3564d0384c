#include "platform/win32/reading/ControlProbe.h"

#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/TargetCalls.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace mirufon::win32
{
namespace
{

bool SameName(const wchar_t* left, const wchar_t* right)
{
    return ::CompareStringOrdinal(left, -1, right, -1, TRUE) == CSTR_EQUAL;
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix)
{
    const int length = ::lstrlenW(prefix);
    return ::lstrlenW(text) >= length &&
           ::CompareStringOrdinal(text, length, prefix, length, TRUE) == CSTR_EQUAL;
}

bool IsGroupBox(HWND window)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    return (style & BS_TYPEMASK) == BS_GROUPBOX && SameName(ClassNameOf(window).c_str(), L"Button");
}

bool Contains(HWND window, POINT screen)
{
    RECT area{};
    return ::IsWindowVisible(window) && ::GetWindowRect(window, &area) && ::PtInRect(&area, screen);
}

long long AreaOf(HWND window)
{
    RECT area{};
    ::GetWindowRect(window, &area);
    return static_cast<long long>(area.right - area.left) * (area.bottom - area.top);
}

// The visible children of parent that contain the point, in z-order; the children of a
// group box stand in for the group box itself.
void CollectCandidates(HWND parent, POINT screen, std::vector<HWND>& candidates)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        if (!Contains(child, screen))
        {
            continue;
        }
        if (IsGroupBox(child))
        {
            CollectCandidates(child, screen, candidates);
            continue;
        }
        candidates.push_back(child);
    }
}

// The smallest candidate; the first in z-order (the topmost) among equals.
HWND SmallestChildAt(HWND parent, POINT screen)
{
    std::vector<HWND> candidates;
    CollectCandidates(parent, screen, candidates);
    HWND smallest = nullptr;
    long long smallestArea = 0;
    for (HWND candidate : candidates)
    {
        const long long area = AreaOf(candidate);
        if (!smallest || area < smallestArea)
        {
            smallest = candidate;
            smallestArea = area;
        }
    }
    return smallest;
}

HWND ControlAt(HWND hit, POINT screen)
{
    if (!hit || !::IsWindow(hit))
    {
        return nullptr;
    }
    HWND control = ::GetAncestor(hit, GA_ROOT);
    if (!control)
    {
        return hit;
    }
    while (HWND child = SmallestChildAt(control, screen))
    {
        control = child;
    }
    return control;
}

// The kind of control a window class stands for, as far as reading it goes (case ignored):
// Edit and RichEdit*, ComboBox, ListBox and ComboLBox, SysListView32, SysTreeView32,
// SysHeader32, msctls_statusbar32, SysTabControl32; anything else is Other.
ControlKind KindOfClass(const wchar_t* className)
{
    if (SameName(className, L"Edit") || StartsWith(className, L"RichEdit"))
    {
        return ControlKind::Edit;
    }
    if (SameName(className, L"ComboBox"))
    {
        return ControlKind::ComboBox;
    }
    if (SameName(className, L"ListBox") || SameName(className, L"ComboLBox"))
    {
        return ControlKind::ListBox;
    }
    struct CommonControl
    {
        const wchar_t* className;
        ControlKind kind;
    };
    static constexpr CommonControl kCommonControls[] = {
        {L"SysListView32", ControlKind::ListView}, {L"SysTreeView32", ControlKind::TreeView},
        {L"SysHeader32", ControlKind::Header},     {L"msctls_statusbar32", ControlKind::StatusBar},
        {WC_TABCONTROLW, ControlKind::TabControl},
    };
    for (const CommonControl& common : kCommonControls)
    {
        if (SameName(className, common.className))
        {
            return common.kind;
        }
    }
    return ControlKind::Other;
}

} // namespace

std::wstring ClassNameOf(HWND window)
{
    wchar_t name[256] = L"";
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

ControlKind KindOfWindow(HWND window)
{
    return KindOfClass(ClassNameOf(window).c_str());
}

bool IsPasswordBox(HWND window, std::chrono::milliseconds limit)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    if ((style & ES_PASSWORD) == 0)
    {
        return false;
    }
    ControlMessenger messenger(window, limit);
    const std::optional<LRESULT> character = messenger.Send(EM_GETPASSWORDCHAR);
    return !character || *character != 0;
}

POINT ClientPointOf(HWND window, POINT screen)
{
    POINT point = screen;
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    if (const auto toLogical = CallsIntoTargets().physicalToLogicalPoint)
    {
        // Both in the window's units, so that their difference is too. A point the window's
        // monitor does not hold is left as it is.
        POINT logicalPoint = point;
        POINT logicalOrigin = origin;
        if (toLogical(window, &logicalPoint) && toLogical(window, &logicalOrigin))
        {
            point = logicalPoint;
            origin = logicalOrigin;
        }
    }
    return POINT{point.x - origin.x, point.y - origin.y};
}

ReadTarget TargetAt(HWND windowAtPoint, POINT screen, std::size_t maxChars)
{
    ReadTarget target;
    target.x = screen.x;
    target.y = screen.y;
    target.maxChars = maxChars;
    HWND control = ControlAt(windowAtPoint, screen);
    if (!control)
    {
        return target;
    }
    target.control = reinterpret_cast<WindowId>(control);
    target.kind = KindOfWindow(control);
    return target;
}

ReadTarget TargetAt(POINT screen, std::size_t maxChars)
{
    return TargetAt(::WindowFromPoint(screen), screen, maxChars);
}

} // namespace mirufon::win32
