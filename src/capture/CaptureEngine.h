#pragma once

#include "capture/CaptureLog.h"
#include "capture/ReadWorkers.h"
#include "capture/ReaderChain.h"
#include "platform/Clock.h"
#include "platform/PointerProbe.h"
#include "platform/TextBox.h"
#include "text/UiText.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace mirufon
{

// How long a read may take before its program counts as not responding.
inline constexpr std::int64_t kPreviewDeadlineMs = 300;
inline constexpr std::int64_t kCaptureDeadlineMs = 1000;
// The first read of a program that has not answered a read before: some build what they tell
// only when first asked (browsers build their accessibility tree then).
inline constexpr std::int64_t kFirstContactDeadlineMs = 3000;
// While the pointer rests on the same window, the preview reads it again this often, so that
// a text that changes under it shows within a fraction of a second; a move or another window
// under the pointer is read at the next tick.
inline constexpr std::int64_t kPreviewRefreshMs = 200;
// Those reads put a block of memory into the other program (for a list view, say) no more
// often than this: behaviour monitors take a block allocated, written and freed five times a
// second for an attack.
inline constexpr std::int64_t kPreviewMemoryEveryMs = 1000;
// The preview's tick: every kPreviewTickMs while the pointer moves. Once it has rested for
// kRestBeforeSlowTickMs, only every kRestingTickMs until it moves again: a resting pointer then
// costs a fifth of the questions, and the first preview after the rest still comes within
// about 60 ms.
inline constexpr std::int64_t kPreviewTickMs = 10;
inline constexpr std::int64_t kRestingTickMs = 50;
inline constexpr std::int64_t kRestBeforeSlowTickMs = 1000;
// How fast a long text is allowed to come across from another program: 20 million characters
// take about a second under load on a small machine; this leaves several times that.
inline constexpr std::size_t kTransferCharsPerMs = 4000;

// The preview tick's interval once the pointer has rested at one point for restedMs.
std::int64_t PreviewTickInterval(std::int64_t restedMs);

// Which text a capture takes.
enum class CaptureTarget
{
    Name,
    Value,
};

// What the engine needs from the main window besides the boxes.
class CaptureFeedback
{
  public:
    CaptureFeedback() = default;
    CaptureFeedback(const CaptureFeedback&) = delete;
    CaptureFeedback& operator=(const CaptureFeedback&) = delete;
    virtual ~CaptureFeedback() = default;

    // The warning sound of a capture whose program did not answer.
    virtual void Beep() = 0;
    // Asks for OnReadTimer after about this many milliseconds, replacing an earlier request;
    // a negative time cancels it.
    virtual void WakeReadTimer(std::int64_t milliseconds) = 0;
};

// Reads of the element under the pointer, for the preview and the capture hotkeys, without
// ever waiting on another program: each read runs on a worker with a deadline, and its texts
// come back later. A program that missed a deadline gets no further read until that read comes
// back. Every change of the log (captures, line breaks, cancels, copies, clearing) is applied
// in the order its trigger arrived: a change behind a capture waits for that capture's read,
// at most until its deadline.
class CaptureEngine
{
  public:
    CaptureEngine(CaptureLog& log, TextBox& nameBox, TextBox& valueBox, PointerProbe& pointer,
                  ReadWorkers& workers, const Clock& clock, CaptureFeedback& feedback);
    CaptureEngine(const CaptureEngine&) = delete;
    CaptureEngine& operator=(const CaptureEngine&) = delete;

    // A tick of the pointer preview. While the pointer rests, a tick only asks where it is, and
    // looks further every kPreviewRefreshMs; where the pointer cannot be asked for (a locked
    // screen), it does nothing. Otherwise: over the program's own window both boxes are
    // emptied; over a program with a read stuck on it the notice stays; otherwise a read starts
    // when the pointer moved or another window lies under it, or when the last read started
    // kPreviewRefreshMs ago, unless the previous read is still running. Only a read after a
    // move, or kPreviewMemoryEveryMs after the last that could, may open the program's memory.
    void OnPreviewTick();

    // The interval the preview's ticks should have now (PreviewTickInterval).
    std::int64_t PreviewTickMs() const;

    // Whether the preview runs. While it is stopped its boxes keep their text: a preview read
    // still running when it stopped shows nothing when it ends or misses its deadline. The
    // first tick after it runs again reads at once.
    void SetPreviewRunning(bool running);

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

    // A read's texts, on the main window's thread. Texts of a read that missed its deadline
    // only tell that its program answers again. A program that refused to be read (it runs as
    // administrator) is said to, in the preview, and a capture of it appends nothing and beeps.
    void OnReadDone(std::uint64_t id, const ElementTexts& texts);
    // A read that ended in an error of this program's own (out of memory, say), not in the
    // other program's silence: a capture fails with the warning sound, a preview read shows
    // nothing new, and the program under the point is not taken for one that does not answer.
    void OnReadFailed(std::uint64_t id);
    // A read's program answers (a harvest's items arrive), and a text of this many characters
    // is on its way: a capture's deadline moves out by the time such a copy may take.
    void OnAnswering(std::uint64_t id, std::size_t chars);
    // A harvest has ended.
    void OnHarvestDone(std::uint64_t id, HarvestResult result);
    // Deadlines that have passed.
    void OnReadTimer();

    // Captures still waiting for their reads.
    bool HasPendingCaptures() const;

  private:
    struct Read
    {
        bool isCapture = false; // a capture or a harvest: a change of the log waits for it
        ReadKind kind = ReadKind::Element;
        std::uint32_t thread = 0;
        std::uint32_t process = 0;
        std::int64_t deadline = 0;
        bool cancelled = false; // a harvest told to stop: whatever it brings is dropped
    };
    // A capture or harvest over a program with a read stuck on it, waiting for that read to
    // come back.
    struct WaitingCapture
    {
        std::uint64_t id = 0;
        PointerTarget at;
        WantedTexts wanted;
        ReadKind kind = ReadKind::Element;
        std::int64_t deadline = 0;
    };
    struct QueuedChange
    {
        std::uint64_t read = 0; // a capture or harvest waiting for its read; 0 for others
        CaptureTarget target = CaptureTarget::Name;
        std::optional<std::wstring> text; // the capture's text once read
        bool failed = false;              // the read brought nothing to append
        std::function<void()> apply;      // the other changes
        bool harvest = false;             // the text keeps its tabs and line breaks
    };

    void StartCaptureRead(const PointerTarget& at, WantedTexts wanted, ReadKind kind, bool harvest);
    void StartRead(std::uint64_t id, const PointerTarget& at, WantedTexts wanted,
                   std::size_t maxChars, bool isCapture, ReadKind kind = ReadKind::Element,
                   bool mayOpenMemory = true);
    std::int64_t DeadlineFor(const PointerTarget& at, bool isCapture) const;
    void RememberAnswered(std::uint32_t process);
    bool MayOpenMemory(const PointerTarget& at);
    bool IsStuck(std::uint32_t thread) const;
    bool PreviewIsDue(const PointerTarget& at) const;
    bool PointerRests();
    void ClearPreview();
    void Abandon(std::uint64_t id, const Read& read);
    void FailCapture(std::uint64_t id);
    void DropChange(std::uint64_t id);
    bool AnswersAgain(std::uint64_t id);
    std::optional<Read> EndRead(std::uint64_t id);
    void StartWaitingCaptures(std::uint32_t thread);
    void ExpireWaitingCaptures(std::int64_t now);
    void ShowNotice(UiText notice = UiText::NoResponse);
    void ShowPreview(const ElementTexts& texts);
    void ApplyReadyChanges();
    void RearmTimer(bool always = false);

    CaptureLog& m_log;
    TextBox& m_nameBox;
    TextBox& m_valueBox;
    PointerProbe& m_pointer;
    ReadWorkers& m_workers;
    const Clock& m_clock;
    CaptureFeedback& m_feedback;

    std::uint64_t m_nextId = 1;
    std::map<std::uint64_t, Read> m_reads;              // running, within their deadline
    std::map<std::uint64_t, std::uint32_t> m_abandoned; // missed their deadline: read -> thread
    std::map<std::uint32_t, int> m_stuck;               // thread -> abandoned reads still out
    std::deque<WaitingCapture> m_waiting;               // in the order they were pressed
    std::optional<std::uint64_t> m_previewRead;
    // Where the last preview read was made and when it started; none after the boxes were
    // emptied or the preview paused, so that the next tick reads at once.
    std::optional<PointerTarget> m_previewAt;
    std::int64_t m_previewStartedMs = 0;
    // When the last preview read that could open the program's memory started.
    std::optional<std::int64_t> m_previewMemoryMs;
    // Programs that have answered a read within its deadline.
    std::set<std::uint32_t> m_answeredProcesses;
    bool m_previewCleared = false;
    // Where the pointer was when a tick last looked under it, and when.
    std::optional<PointerPosition> m_lookedAt;
    std::int64_t m_lookedAtMs = 0;
    // Where the pointer has rested since when; none before the first tick.
    std::optional<PointerPosition> m_restingAt;
    std::int64_t m_restingSinceMs = 0;
    bool m_previewRunning = true;
    // The deadline the read timer was last set for; none while it is off.
    std::optional<std::int64_t> m_armedDeadline;
    std::deque<QueuedChange> m_changes;
    bool m_applying = false;
};

} // namespace mirufon
