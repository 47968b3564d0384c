#pragma once

#include "capture/CaptureFeedback.h"
#include "capture/CaptureLog.h"
#include "capture/PointerPreview.h"
#include "capture/ReadTracker.h"
#include "platform/PointerProbe.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace mirufon
{

// How long a capture's read may take before its program counts as not responding.
inline constexpr std::int64_t kCaptureDeadlineMs = 1000;
// How fast a long text is allowed to come across from another program: 20 million characters
// take about a second under load on a small machine; this leaves several times that.
inline constexpr std::size_t kTransferCharsPerMs = 4000;

// Which text a capture takes.
enum class CaptureTarget
{
    Name,
    Value,
};

// The captures and harvests of the element under the pointer, and every other change of the
// log (line breaks, cancels, copies, clearing), applied in the order their triggers arrived: a
// change behind a capture waits for that capture's read, at most until its deadline.
class CaptureQueue final : public ReadOwner
{
  public:
    CaptureQueue(CaptureLog& log, PointerProbe& pointer, ReadTracker& reads,
                 PointerPreview& preview, CaptureFeedback& feedback);

    // A capture hotkey. Over the program's own window nothing at all happens. Over a program
    // with a read stuck on it, nothing is sent to it yet: the capture waits, up to its
    // deadline, for that read to come back, and then reads. A capture still waiting at its
    // deadline fails.
    void Capture(CaptureTarget target);
    // The harvest hotkey: every item of the list, table or tree under the pointer, or every
    // text of its window, becomes one item, in turn with the other changes, like a capture.
    // Its deadline moves out as items arrive; a program that stops answering mid-harvest gives
    // the notice and the warning sound and nothing partial; nothing to read gives the warning
    // sound. Pressed while a harvest is under way, it only stops that one.
    void Harvest();
    // Stops the harvests under way: they append nothing. True when there was one.
    bool CancelHarvests();

    // Changes of the log, queued behind any capture still waiting for its read.
    void AppendLineBreak();
    void CancelLastItem();
    void AppendItem(std::wstring text);
    void Change(std::function<void()> change);

    // A capture appends what it read, an empty text included; a program that refused to be
    // read (it runs as administrator) gets the notice, and the capture appends nothing and
    // beeps, as it does after an error of this program's own. A long text on its way moves the
    // deadline out by the time such a copy may take.
    void OnReadOutcome(std::uint64_t id, ReadContent content) override;
    // The notice and the warning sound; the capture appends nothing.
    void OnReadMissed(std::uint64_t id) override;

  private:
    struct QueuedChange
    {
        std::uint64_t read = 0; // a capture or harvest waiting for its read; 0 for others
        CaptureTarget target = CaptureTarget::Name;
        std::function<void()> apply; // none while its read is out
        bool failed = false;         // the read brought nothing to append
    };

    static bool WaitsForRead(const QueuedChange& change);
    void StartCapture(const PointerTarget& at, const ReadRequest& request, CaptureTarget target);
    QueuedChange* Awaiting(std::uint64_t id);
    void OnTexts(QueuedChange& change, const ElementTexts& texts);
    void OnHarvested(QueuedChange& change, HarvestResult result);
    void Fail(QueuedChange& change);
    void ApplyReadyChanges();

    CaptureLog& m_log;
    PointerProbe& m_pointer;
    ReadTracker& m_reads;
    PointerPreview& m_preview;
    CaptureFeedback& m_feedback;

    std::deque<QueuedChange> m_changes;
    bool m_applying = false;
};

} // namespace mirufon
