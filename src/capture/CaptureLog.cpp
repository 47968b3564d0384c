#include "capture/CaptureLog.h"

#include "hotkeys/KeyTexts.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace mirufon
{

namespace
{

constexpr std::wstring_view kLineBreak = L"\r\n";

// Cancelling reads the log backwards in chunks, so that removing a short last item costs the
// same on a log of any length. The chunk grows for long items, up to a limit that keeps each
// read of the box modest.
constexpr std::size_t kFirstChunk = 4096;
constexpr std::size_t kLargestChunk = std::size_t{1} << 20;

std::wstring TabsToSpaces(std::wstring_view item)
{
    std::wstring result(item);
    std::replace(result.begin(), result.end(), L'\t', L' ');
    return result;
}

// Start of the later of the last occurrences of the two patterns in the box's text, or nothing
// when neither occurs. Empty patterns never match.
std::optional<std::size_t> FindLastOfEither(const TextBox& box, std::wstring_view first,
                                            std::wstring_view second)
{
    // Each read runs past the chunk's end by this much, so that an occurrence starting in the
    // chunk is seen whole even when it straddles the border with the chunk read before it.
    const std::size_t overhang = std::max<std::size_t>({first.size(), second.size(), 1}) - 1;

    std::size_t end = box.Length();
    std::size_t chunk = kFirstChunk;
    while (end > 0)
    {
        const std::size_t start = end > chunk ? end - chunk : 0;
        const std::wstring window = box.Slice(start, end - start + overhang);
        // Only occurrences starting in [start, end): the later ones were searched already.
        const std::size_t lastStart = end - start - 1;

        std::optional<std::size_t> found;
        for (const std::wstring_view pattern : {first, second})
        {
            if (pattern.empty())
            {
                continue;
            }
            const std::size_t at = window.rfind(pattern, lastStart);
            if (at != std::wstring::npos && (!found || at > *found))
            {
                found = at;
            }
        }
        if (found)
        {
            return start + *found;
        }

        end = start;
        chunk = std::min(chunk * 2, kLargestChunk);
    }
    return std::nullopt;
}

} // namespace

CaptureLog::CaptureLog(TextBox& box, const Settings& settings) : m_box(box), m_settings(settings)
{
}

void CaptureLog::ShowIntroduction()
{
    m_lastHarvest.reset();
    m_box.SetText(IntroductionText(m_settings));
    m_showingIntroduction = true;
    m_box.SetTextColor(kIntroTextColour);
}

void CaptureLog::RefreshIntroduction()
{
    if (IsShowingIntroduction())
    {
        m_box.SetText(IntroductionText(m_settings));
    }
}

void CaptureLog::ShowRestored(std::wstring_view text)
{
    m_lastHarvest.reset();
    m_box.SetText(text);
    m_showingIntroduction = false;
    m_box.SetTextColor(kLogTextColour);
}

void CaptureLog::AppendItem(std::wstring_view item)
{
    m_lastHarvest.reset();
    Append(TabsToSpaces(item));
}

void CaptureLog::AppendHarvest(std::wstring_view harvest)
{
    const std::size_t start = Append(harvest);
    // Enough of its end to tell that the log still ends with it.
    constexpr std::size_t kTailChars = 64;
    const std::size_t end = m_box.Length();
    const std::size_t tail = std::min(end - start, kTailChars);
    m_lastHarvest = HarvestPlace{start, end, m_box.Slice(end - tail, tail)};
}

// Appends the item with the separator before it; the log's length before the separator.
std::size_t CaptureLog::Append(std::wstring_view item)
{
    // The first item replaces the introduction (and anything typed into it).
    if (IsShowingIntroduction())
    {
        m_box.SetText(L"");
        m_showingIntroduction = false;
        m_box.SetTextColor(kLogTextColour);
    }

    // The separator goes before the new item, unless the log is shorter than two characters
    // or already ends a line. Only the last character is read: the log may be very long.
    std::wstring addition;
    const std::size_t length = m_box.Length();
    if (length >= 2 && m_box.Slice(length - 1, 1) != L"\n")
    {
        addition = m_settings.separator;
    }
    addition += item;
    // Appended even when empty, so the caret still ends up at the end.
    m_box.Append(addition);
    m_box.Focus();
    return length;
}

void CaptureLog::AppendLineBreak()
{
    m_lastHarvest.reset();
    m_box.Append(kLineBreak);
}

void CaptureLog::CancelLastItem()
{
    if (EndsWithLastHarvest())
    {
        m_box.Truncate(m_lastHarvest->start);
        m_lastHarvest.reset();
        return;
    }
    m_lastHarvest.reset();
    // Cut just before the later of the last line break and the last separator: the separator
    // goes with the item it introduced. With neither, the whole log goes.
    const std::optional<std::size_t> cut =
        FindLastOfEither(m_box, kLineBreak, m_settings.separator);
    m_box.Truncate(cut.value_or(0));
}

bool CaptureLog::EndsWithLastHarvest() const
{
    if (!m_lastHarvest || m_box.Length() != m_lastHarvest->end)
    {
        return false;
    }
    const std::size_t tail = m_lastHarvest->tail.size();
    return m_box.Slice(m_lastHarvest->end - tail, tail) == m_lastHarvest->tail;
}

void CaptureLog::ClearAll(TextBox& preview0, TextBox& preview1)
{
    m_lastHarvest.reset();
    m_box.SetText(L"");
    preview0.SetText(L"");
    preview1.SetText(L"");
}

void CaptureLog::SelectAll(bool mainWindowIsForeground)
{
    if (!mainWindowIsForeground)
    {
        return;
    }
    m_box.SelectAll();
}

} // namespace mirufon
