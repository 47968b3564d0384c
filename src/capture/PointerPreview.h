#pragma once

#include "capture/CaptureFeedback.h"
#include "capture/ReadTracker.h"
#include "platform/Clock.h"
#include "platform/PointerProbe.h"
#include "platform/TextBox.h"
#include "text/UiText.h"

#include <cstdint>
#include <optional>

namespace mirufon
{

// How long a preview read may take before its program counts as not responding.
inline constexpr std::int64_t kPreviewDeadlineMs = 300;
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

// The pointer preview: the name and value of the element under the pointer in the two preview
// boxes, read on the ticks it asks for while it runs.
class PointerPreview final : public ReadOwner
{
  public:
    PointerPreview(TextBox& nameBox, TextBox& valueBox, PointerProbe& pointer, ReadTracker& reads,
                   const Clock& clock, CaptureFeedback& feedback);

    // Starts or stops the preview and its ticks. While it is stopped its boxes keep their text:
    // a read still running when it stopped shows nothing when it ends or misses its deadline.
    // The first tick after it runs again reads at once.
    void SetRunning(bool running);

    // A tick. While the pointer rests, a tick only asks where it is, and looks further every
    // kPreviewRefreshMs; where the pointer cannot be asked for (a locked screen), it does
    // nothing. Otherwise: over the program's own window both boxes are emptied; over a program
    // with a read stuck on it the notice stays; otherwise a read starts when the pointer moved
    // or another window lies under it, or when the last read started kPreviewRefreshMs ago,
    // unless the previous read is still running. Only a read after a move, or
    // kPreviewMemoryEveryMs after the last that could, may open the program's memory. The
    // ticks slow down while the pointer rests.
    void OnTick();

    // The name box says so, the value box is emptied: the element belongs to a program that
    // does not answer, or refuses to be read.
    void ShowNotice(UiText notice = UiText::NoResponse);

    // A preview read's texts: a program that refused to be read (it runs as administrator) is
    // said to; a read that skipped the element leaves the boxes as they are.
    void OnReadOutcome(std::uint64_t id, ReadContent content) override;
    void OnReadMissed(std::uint64_t id) override;

  private:
    void ReadIfDue();
    void AdjustTickInterval();
    bool MayOpenMemory(const PointerTarget& at);
    bool PreviewIsDue(const PointerTarget& at) const;
    bool PointerRests();
    void Clear();
    void Show(const ElementTexts& texts);

    TextBox& m_nameBox;
    TextBox& m_valueBox;
    PointerProbe& m_pointer;
    ReadTracker& m_reads;
    const Clock& m_clock;
    CaptureFeedback& m_feedback;

    bool m_running = false;
    std::int64_t m_tickMs = kPreviewTickMs;
    std::optional<std::uint64_t> m_read;
    // Where the last read was made and when it started; none after the boxes were emptied or
    // the preview paused, so that the next tick reads at once.
    std::optional<PointerTarget> m_readAt;
    std::int64_t m_readStartedMs = 0;
    // When the last read that could open the program's memory started.
    std::optional<std::int64_t> m_memoryReadMs;
    bool m_cleared = false;
    // Where the pointer was when a tick last looked under it, and when.
    std::optional<PointerPosition> m_lookedAt;
    std::int64_t m_lookedAtMs = 0;
    // Where the pointer has rested since when; none before the first tick.
    std::optional<PointerPosition> m_restingAt;
    std::int64_t m_restingSinceMs = 0;
};

} // namespace mirufon
