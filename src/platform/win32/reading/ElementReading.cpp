#include "platform/win32/reading/ElementReading.h"

#include "platform/win32/reading/Accessibility.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/Harvesting.h"
#include "platform/win32/reading/MessageReader.h"
#include "platform/win32/reading/RemoteMemory.h"

#include <chrono>

namespace mirufon::win32
{

namespace
{

// Whether the control's items are read through a block of its program's memory.
bool NeedsMemory(ControlKind kind)
{
    return kind == ControlKind::ListView || kind == ControlKind::TreeView ||
           kind == ControlKind::Header || kind == ControlKind::StatusBar ||
           kind == ControlKind::TabControl;
}

// Whether the control's own messages know its items better than Active Accessibility: the
// standard controls that hold items, where their messages can be used. Windows' accessible
// object of a report-view list view, say, answers by row with the first column, whichever
// column lies under the point. (List boxes' and combo boxes' messages cross to a program of
// either bitness; the common controls' need its memory, and so its bitness.)
bool MessagesKnowBetter(const ReadTarget& target)
{
    if (target.kind == ControlKind::ListBox || target.kind == ControlKind::ComboBox)
    {
        return true;
    }
    return NeedsMemory(target.kind) && HasOurBitness(reinterpret_cast<HWND>(target.control));
}

} // namespace

ElementTexts ReadElementAt(const ReadRequest& request, ReadProgress& progress)
{
    ReadTarget target = TargetAt(reinterpret_cast<HWND>(request.window),
                                 POINT{request.x, request.y}, request.maxChars);
    if (!request.mayOpenMemory && NeedsMemory(target.kind))
    {
        ElementTexts skipped;
        skipped.skipped = true;
        return skipped;
    }
    target.progress = &progress;
    HWND control = reinterpret_cast<HWND>(target.control);
    target.isPassword = control && IsPasswordBox(control, kControlMessageLimit);
    MsaaReader msaa;
    MessageReader messages;
    // Otherwise Active Accessibility first, as the element's own description; the control's
    // window messages for what it leaves out.
    ElementReader* messagesFirst[] = {&messages, &msaa};
    ElementReader* accessibilityFirst[] = {&msaa, &messages};
    return ReadElement(target, request.wanted,
                       MessagesKnowBetter(target) ? messagesFirst : accessibilityFirst);
}

namespace
{

// A harvest's progress as the worker tells it: that items arrive, at most every so often (a
// long list brings thousands a second), and whether it was cancelled.
class ThrottledProgress final : public ReadProgress
{
  public:
    explicit ThrottledProgress(ReadProgress& read) : m_read(read) {}

    void Answering(std::size_t) override
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastTold < kTellEvery)
        {
            return;
        }
        m_lastTold = now;
        m_read.Answering(0);
    }
    bool Cancelled() const override { return m_read.Cancelled(); }

  private:
    static constexpr std::chrono::milliseconds kTellEvery{100};
    ReadProgress& m_read;
    std::chrono::steady_clock::time_point m_lastTold = std::chrono::steady_clock::now();
};

// The harvest at the request's point, as a worker does it.
HarvestResult HarvestAtRequest(const ReadRequest& request, ReadProgress& progress)
{
    ThrottledProgress throttled(progress);
    HarvestSink sink(throttled);
    HarvestResult result;
    result.outcome =
        HarvestAt(reinterpret_cast<HWND>(request.window), POINT{request.x, request.y}, sink);
    if (result.outcome == HarvestOutcome::Harvested)
    {
        result.text = sink.TakeText();
    }
    return result;
}

} // namespace

ReadContent ReadAtPoint(const ReadRequest& request, ReadProgress& progress)
{
    if (request.kind == ReadKind::Harvest)
    {
        return HarvestAtRequest(request, progress);
    }
    return ReadElementAt(request, progress);
}

} // namespace mirufon::win32
