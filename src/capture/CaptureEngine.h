#pragma once

#include "capture/CaptureLog.h"
#include "capture/ElementReader.h"
#include "capture/ReadWorkers.h"
#include "platform/Clock.h"
#include "platform/PointerProbe.h"
#include "platform/TextBox.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace mirufon
{

// What the preview's name box shows while the element under the pointer belongs to a program
// that does not answer.
inline constexpr std::wstring_view kNoResponseNotice = L"（応答なし）";

// How long a read may take before its program counts as not responding.
inline constexpr std::int64_t kPreviewDeadlineMs = 300;
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
// come back later. Every change of the log (captures, line breaks, cancels, copies, clearing)
// is applied in the order its trigger arrived: a change behind a capture waits for that
// capture's read, at most until its deadline.
class CaptureEngine
{
  public:
    CaptureEngine(CaptureLog& log, TextBox& nameBox, TextBox& valueBox, PointerProbe& pointer,
                  ReadWorkers& workers, const Clock& clock, CaptureFeedback& feedback);
    CaptureEngine(const CaptureEngine&) = delete;
    CaptureEngine& operator=(const CaptureEngine&) = delete;

    // A tick of the pointer preview. Over the program's own window both boxes are emptied; over
    // a program with a read stuck on it the notice stays; otherwise a read starts, unless the
    // previous one is still running.
    void OnPreviewTick();

    // Whether the preview runs. While it is stopped its boxes keep their text: a preview read
    // still running when it stopped shows nothing when it ends or misses its deadline.
    void SetPreviewRunning(bool running);

    // A capture hotkey. Over the program's own window nothing at all happens. Over a program
    // with a read stuck on it, nothing is sent to it: the capture fails at once.
    void Capture(CaptureTarget target);

    // Changes of the log, queued behind any capture still waiting for its read.
    void AppendLineBreak();
    void CancelLastItem();
    void AppendItem(std::wstring text);
    void Change(std::function<void()> change);

    // A read's texts, on the main window's thread. Texts of a read that missed its deadline
    // only tell that its program answers again.
    void OnReadDone(std::uint64_t id, const ElementTexts& texts);
    // A read's program has answered and a text of this many characters is on its way: a
    // capture's deadline moves out by the time such a copy may take.
    void OnLongTransfer(std::uint64_t id, std::size_t chars);
    // Deadlines that have passed.
    void OnReadTimer();

    // Captures still waiting for their reads.
    bool HasPendingCaptures() const;

  private:
    struct Read
    {
        bool isCapture = false;
        std::uint32_t thread = 0;
        std::int64_t deadline = 0;
    };
    struct QueuedChange
    {
        std::uint64_t read = 0; // a capture waiting for its read; 0 for others
        CaptureTarget target = CaptureTarget::Name;
        std::optional<std::wstring> text; // the capture's text once read
        bool failed = false;              // the capture's read missed its deadline
        std::function<void()> apply;      // the other changes
    };

    std::uint64_t StartRead(const PointerTarget& at, WantedTexts wanted, std::size_t maxChars,
                            bool isCapture);
    bool IsStuck(std::uint32_t thread) const;
    void Abandon(std::uint64_t id, const Read& read);
    void FailCapture(std::uint64_t id);
    void ShowNotice();
    void ShowPreview(const ElementTexts& texts);
    void ApplyReadyChanges();
    void RearmTimer();

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
    std::optional<std::uint64_t> m_previewRead;
    bool m_previewRunning = true;
    std::deque<QueuedChange> m_changes;
    bool m_applying = false;
};

} // namespace mirufon
