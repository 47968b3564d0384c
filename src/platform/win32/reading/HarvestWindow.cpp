#include "platform/win32/reading/HarvestWindow.h"

#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/ItemReaders.h"

#include <vector>

namespace mirufon::win32
{
namespace
{

// Bounds on the walk through a window's children, which another program may keep changing.
constexpr std::size_t kMostWindowsVisited = 50'000;
constexpr int kDeepestNesting = 64;

struct PlacedControl
{
    HWND window = nullptr;
    ScreenBox box;
};

struct Walk
{
    std::vector<PlacedControl> controls;
    std::size_t visited = 0;
};

ScreenBox BoxOf(const RECT& rect)
{
    return ScreenBox{rect.left, rect.top, rect.right, rect.bottom};
}

RECT ClientAreaOnScreen(HWND window)
{
    RECT area{};
    ::GetClientRect(window, &area);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

// The items of these controls are read through the control itself; their children (a list
// view's header, a combo box's edit and list) are part of it.
bool ReadsItsChildren(ControlKind kind)
{
    return kind == ControlKind::ListBox || kind == ControlKind::ComboBox ||
           kind == ControlKind::ListView || kind == ControlKind::TreeView;
}

// The visible children of parent that lie (at least partly) inside its client area, and
// theirs in turn, in z-order.
void CollectControls(HWND parent, int depth, Walk& walk)
{
    const RECT area = ClientAreaOnScreen(parent);
    for (HWND child = ::GetWindow(parent, GW_CHILD); child && walk.visited < kMostWindowsVisited;
         child = ::GetWindow(child, GW_HWNDNEXT))
    {
        ++walk.visited;
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
        RECT rect{};
        RECT inside{};
        if ((style & WS_VISIBLE) == 0 || !::GetWindowRect(child, &rect) ||
            !::IntersectRect(&inside, &rect, &area))
        {
            continue;
        }
        walk.controls.push_back(PlacedControl{child, BoxOf(rect)});
        if (depth < kDeepestNesting && !ReadsItsChildren(KindOfWindow(child)))
        {
            CollectControls(child, depth + 1, walk);
        }
    }
}

// A static control that shows a picture: its window text names the picture's resource.
bool ShowsPicture(HWND window)
{
    const auto type = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)) & SS_TYPEMASK;
    return (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE) &&
           ::CompareStringOrdinal(ClassNameOf(window).c_str(), -1, L"Static", -1, TRUE) ==
               CSTR_EQUAL;
}

ControlRead ReadControl(HWND window, HarvestSink& sink, ReadMemory& memory,
                        std::chrono::milliseconds messageLimit)
{
    if (ShowsPicture(window) || IsPasswordBox(window, messageLimit))
    {
        return ControlRead::Read;
    }
    const ControlKind kind = KindOfWindow(window);
    if (HoldsItems(kind))
    {
        // An owner-drawn list without strings, or a control of a program of another
        // bitness, gives nothing here; the rest of the window is still read.
        return HarvestControl(window, kind, sink, memory, messageLimit);
    }
    ControlMessenger messenger(window, messageLimit);
    // One character more than fits, so that a text too long for the harvest is cut there.
    const std::wstring text = ShownCaption(messenger, sink.CharsLeft() + 1);
    if (!messenger.Failed())
    {
        sink.AddLine(text);
    }
    return messenger.Failure() == MessageFailure::NotAnswering ? ControlRead::NotAnswering
           : messenger.Failure() == MessageFailure::Refused    ? ControlRead::Refused
                                                               : ControlRead::Read;
}

} // namespace

ControlRead HarvestWindowTexts(HWND topLevel, HarvestSink& sink, ReadMemory& memory,
                               std::chrono::milliseconds messageLimit)
{
    sink.SkipBlankLines();
    Walk walk;
    CollectControls(topLevel, 0, walk);
    std::vector<ScreenBox> boxes;
    for (const PlacedControl& control : walk.controls)
    {
        boxes.push_back(control.box);
    }
    std::vector<HWND> windows{topLevel};
    for (const std::size_t index : ReadingOrder(boxes))
    {
        windows.push_back(walk.controls[index].window);
    }
    for (HWND window : windows)
    {
        if (sink.ShouldStop())
        {
            break;
        }
        const ControlRead read = ReadControl(window, sink, memory, messageLimit);
        if (read == ControlRead::NotAnswering || read == ControlRead::Refused)
        {
            return read;
        }
    }
    return ControlRead::Read;
}

} // namespace mirufon::win32
