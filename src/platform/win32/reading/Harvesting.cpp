#include "platform/win32/reading/Harvesting.h"

#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/HarvestAccessibility.h"
#include "platform/win32/reading/HarvestControls.h"
#include "platform/win32/reading/HarvestWindow.h"

#include <new>

namespace mirufon::win32
{
namespace
{

// The control whose items lie under the pointer: the combo box when the pointer is on the edit
// box inside it.
HWND ItemHolder(HWND control)
{
    HWND parent = ::GetParent(control);
    if (parent && KindOfClass(ClassNameOf(control).c_str()) == ControlKind::Edit &&
        ItemControlOf(parent) == ItemControl::ComboBox)
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

HarvestOutcome Harvest(HWND windowAtPoint, POINT screen, HarvestSink& sink,
                       std::chrono::milliseconds messageLimit)
{
    const ReadTarget target = TargetAt(windowAtPoint, screen, kWholeText);
    HWND control = reinterpret_cast<HWND>(target.control);
    if (!control)
    {
        return HarvestOutcome::NothingToRead;
    }
    HarvestMemory memory;
    HWND holder = ItemHolder(control);
    if (const ItemControl kind = ItemControlOf(holder); kind != ItemControl::None)
    {
        switch (HarvestControl(holder, kind, sink, memory, messageLimit))
        {
        case ControlHarvest::Read:
            return Ended(sink);
        case ControlHarvest::NoStrings:
            return HarvestOutcome::NothingToRead;
        case ControlHarvest::NotAnswering:
            return HarvestOutcome::NotAnswering;
        case ControlHarvest::NoMemory:
            break; // its items may still come through Active Accessibility
        }
    }
    // Accessibility calls wait as long as the program takes to answer; one that has stopped
    // answering its messages is not asked at all.
    ControlMessenger probe(control, messageLimit);
    if (!probe.Send(WM_NULL))
    {
        return HarvestOutcome::NotAnswering;
    }
    if (HarvestAccessibleAt(screen, sink))
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
    if (HarvestWindowTexts(topLevel, sink, memory, messageLimit) == ControlHarvest::NotAnswering)
    {
        return HarvestOutcome::NotAnswering;
    }
    return Ended(sink);
}

} // namespace

HarvestOutcome HarvestAt(POINT screen, HarvestSink& sink,
                         std::chrono::milliseconds messageLimit) noexcept
{
    return HarvestAt(::WindowFromPoint(screen), screen, sink, messageLimit);
}

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
