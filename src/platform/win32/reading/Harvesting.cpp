#include "platform/win32/reading/Harvesting.h"

#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/HarvestAccessibility.h"
#include "platform/win32/reading/HarvestWindow.h"
#include "platform/win32/reading/ItemReaders.h"

#include <new>
#include <optional>

namespace mirufon::win32
{
namespace
{

// The control whose items lie under the pointer: the combo box when the pointer is on the edit
// box inside it.
HWND ItemHolder(HWND control)
{
    HWND parent = ::GetParent(control);
    if (parent && KindOfWindow(control) == ControlKind::Edit &&
        KindOfWindow(parent) == ControlKind::ComboBox)
    {
        return parent;
    }
    return control;
}

HarvestOutcome Ended(const HarvestSink& sink)
{
    if (sink.Cancelled())
    {
        return HarvestOutcome::Cancelled;
    }
    if (sink.Lines() == 0 && !sink.Truncated())
    {
        return HarvestOutcome::NothingToRead;
    }
    return HarvestOutcome::Harvested;
}

// How a harvest that read one control, or a window's controls, ended; nothing when it is to go
// on another way (a common control of a program of the other bitness).
std::optional<HarvestOutcome> EndedWith(ControlRead read, const HarvestSink& sink)
{
    switch (read)
    {
    case ControlRead::Read:
    case ControlRead::Gone:
        return Ended(sink);
    case ControlRead::NoStrings:
        return HarvestOutcome::NothingToRead;
    case ControlRead::NotAnswering:
        return HarvestOutcome::NotAnswering;
    case ControlRead::Refused:
        return HarvestOutcome::Refused;
    case ControlRead::NoMemory:
        break;
    }
    return std::nullopt;
}

HarvestOutcome Harvest(HWND windowAtPoint, POINT screen, HarvestSink& sink,
                       std::chrono::milliseconds messageLimit)
{
    const ReadTarget target = TargetAt(windowAtPoint, screen, kWholeText);
    HWND control = reinterpret_cast<HWND>(target.control);
    if (!control)
    {
        return HarvestOutcome::NothingToRead;
    }
    ReadMemory memory;
    HWND holder = ItemHolder(control);
    if (const ControlKind kind = KindOfWindow(holder);
        kind != ControlKind::Other && kind != ControlKind::Edit)
    {
        // Its items may still come through Active Accessibility when its memory cannot be used.
        if (const auto ended =
                EndedWith(HarvestControl(holder, kind, sink, memory, messageLimit), sink))
        {
            return *ended;
        }
    }
    // Accessibility calls wait as long as the program takes to answer; one that has stopped
    // answering its messages is not asked at all.
    ControlMessenger probe(control, messageLimit);
    if (!probe.Send(WM_NULL))
    {
        return probe.Failure() == MessageFailure::Refused        ? HarvestOutcome::Refused
               : probe.Failure() == MessageFailure::NotAnswering ? HarvestOutcome::NotAnswering
                                                                 : HarvestOutcome::NothingToRead;
    }
    if (HarvestAccessibleAt(screen, control, sink))
    {
        return Ended(sink);
    }
    HWND topLevel = ::GetAncestor(control, GA_ROOT);
    topLevel = topLevel ? topLevel : control;
    if (topLevel == ::GetDesktopWindow())
    {
        // Its children are every window on the screen.
        return HarvestOutcome::NothingToRead;
    }
    return EndedWith(HarvestWindowTexts(topLevel, sink, memory, messageLimit), sink)
        .value_or(HarvestOutcome::NothingToRead);
}

} // namespace

HarvestOutcome HarvestAt(HWND windowAtPoint, POINT screen, HarvestSink& sink,
                         std::chrono::milliseconds messageLimit) noexcept
{
    try
    {
        return Harvest(windowAtPoint, screen, sink, messageLimit);
    }
    catch (const std::bad_alloc&)
    {
        // Nothing partial is handed out.
        return HarvestOutcome::NothingToRead;
    }
}

} // namespace mirufon::win32
