#pragma once

#include "capture/ReadProgress.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirufon
{

// A harvest takes every item of a list, table or tree, or every text of a window, as one log
// item: lines joined by CR LF, the cells of a line by tabs, one tab per level of a tree before
// its first cell. It stops at these limits, so that a huge or endless list cannot flood the
// log; its last line then says so.
inline constexpr std::size_t kHarvestMaxLines = 100'000;
inline constexpr std::size_t kHarvestMaxChars = 16'000'000;

// How a harvest ended.
enum class HarvestOutcome
{
    Harvested,     // the lines are in the sink (cut at a limit, perhaps)
    NothingToRead, // no window there, a list that keeps no strings, or no text at all
    NotAnswering,  // a message went unanswered: what was read is incomplete, not to be used
    Refused,       // the program refused to be read (it runs as administrator): nothing read
    Cancelled,     // the caller cancelled it
};

struct HarvestLimits
{
    std::size_t maxLines = kHarvestMaxLines;
    // Of the text before the notice, line breaks and tabs included.
    std::size_t maxChars = kHarvestMaxChars;
};

// Collects a harvest's lines into its text, as the readers find them, within the limits.
class HarvestSink
{
  public:
    explicit HarvestSink(ReadProgress& progress, HarvestLimits limits = {});
    HarvestSink(const HarvestSink&) = delete;
    HarvestSink& operator=(const HarvestSink&) = delete;

    // Adds a line: indent tabs, then the cells joined by tabs; a cell ends at its first NUL, as
    // a control draws it, and a tab or line break inside it becomes a space (CR LF one space).
    // Empty cells are kept. False when the reader is to stop: the harvest was cancelled
    // (nothing added) or is full, in which case the line that went over the character limit
    // was cut at it and one over the line limit left out.
    bool AddLine(std::span<const std::wstring> cells, std::size_t indent = 0);
    bool AddLine(std::wstring_view text, std::size_t indent = 0);

    // From now on a line whose cells hold nothing but spaces, tabs and line breaks is left
    // out. It still counts toward the limits, as a line of its length, so that a list of
    // millions of blank rows ends the harvest as soon as a list of as many texts would.
    void SkipBlankLines() { m_skipBlank = true; }

    // The other program answered a reader that gathers items before it adds them (rows read
    // in batches): told as progress, so that a slow but steady program is not given up on
    // because a whole batch took longer than a deadline.
    void Answered() { m_progress.Answering(0); }

    // Whether the reader is to stop before its next item: cancelled, or full.
    bool ShouldStop() const { return m_full || Cancelled(); }
    bool Cancelled() const { return m_progress.Cancelled(); }
    bool Truncated() const { return m_full; }
    std::size_t Lines() const { return m_lines; }
    // Characters that can still be added before the text is cut, line breaks included.
    std::size_t CharsLeft() const;

    // The harvest's text, with the notice as its last line when it was cut; taken out of the
    // sink, which holds nothing afterwards (a harvest's text may be tens of megabytes).
    std::wstring TakeText();

  private:
    bool Refuse();

    ReadProgress& m_progress;
    HarvestLimits m_limits;
    std::wstring m_text;
    std::size_t m_lines = 0;
    // Blank lines left out, and their characters: they count toward the limits.
    std::size_t m_blankLines = 0;
    std::size_t m_blankChars = 0;
    bool m_skipBlank = false;
    bool m_full = false;
};

// A control's rectangle on the screen, for the reading order of a window's texts.
struct ScreenBox
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The order in which a window's controls are read, as indexes into boxes: controls side by
// side whose vertical centres lie within each other's height (each centre inside the other's
// extent, edges included) form a row; rows from top to bottom, left to right within a row.
// Controls that overlap across (a group box and the controls inside it) are never side by
// side. Controls are taken by their top edge: each joins the first row so far whose first
// control it shares a row with, or starts a new one. A tall control therefore keeps a row of
// its own beside a column of short ones, instead of pulling them all into one row.
std::vector<std::size_t> ReadingOrder(std::span<const ScreenBox> boxes);

} // namespace mirufon
