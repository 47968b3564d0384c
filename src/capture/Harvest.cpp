#include "capture/Harvest.h"

#include "text/UiText.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace mirufon
{
namespace
{

constexpr std::wstring_view kLineBreak = L"\r\n";

bool IsBreakOrTab(wchar_t c)
{
    return c == L'\t' || c == L'\r' || c == L'\n';
}

// The cell as one piece of a line: it ends at its first NUL; a tab or a line break inside it
// becomes a space, a CR LF pair a single one.
void AppendCell(std::wstring& line, std::wstring_view cell)
{
    cell = cell.substr(0, cell.find(L'\0'));
    for (std::size_t i = 0; i < cell.size(); ++i)
    {
        if (!IsBreakOrTab(cell[i]))
        {
            line += cell[i];
            continue;
        }
        if (cell[i] == L'\r' && i + 1 < cell.size() && cell[i + 1] == L'\n')
        {
            ++i;
        }
        line += L' ';
    }
}

bool IsBlank(std::span<const std::wstring> cells)
{
    return std::all_of(cells.begin(), cells.end(),
                       [](const std::wstring& cell)
                       {
                           const std::wstring_view shown(cell.c_str());
                           return std::all_of(shown.begin(), shown.end(),
                                              [](wchar_t c)
                                              { return c == L' ' || IsBreakOrTab(c); });
                       });
}

// The first length characters of text, one fewer when that would split a surrogate pair.
std::size_t CutWithoutSplitting(std::wstring_view text, std::size_t length)
{
    if (length > 0 && length < text.size() && text[length - 1] >= 0xD800 &&
        text[length - 1] <= 0xDBFF)
    {
        return length - 1;
    }
    return length;
}

} // namespace

HarvestSink::HarvestSink(ReadProgress& progress, HarvestLimits limits)
    : m_progress(progress), m_limits(limits)
{
}

bool HarvestSink::AddLine(std::wstring_view text, std::size_t indent)
{
    const std::wstring cell(text);
    return AddLine(std::span<const std::wstring>(&cell, 1), indent);
}

bool HarvestSink::AddLine(std::span<const std::wstring> cells, std::size_t indent)
{
    if (ShouldStop())
    {
        return false;
    }
    m_progress.Answering(0);
    if (m_lines + m_blankLines == m_limits.maxLines)
    {
        return Refuse();
    }
    std::wstring line(m_lines == 0 ? std::wstring_view() : kLineBreak);
    line.append(indent, L'\t');
    for (std::size_t cell = 0; cell < cells.size(); ++cell)
    {
        if (cell > 0)
        {
            line += L'\t';
        }
        AppendCell(line, cells[cell]);
    }
    const std::size_t room = CharsLeft();
    if (m_skipBlank && IsBlank(cells))
    {
        if (line.size() > room)
        {
            return Refuse();
        }
        ++m_blankLines;
        m_blankChars += line.size();
        return true;
    }
    if (line.size() <= room)
    {
        m_text += line;
        ++m_lines;
        return true;
    }
    // The line that goes over the limit keeps what fits, unless that is its line break alone.
    const std::size_t kept = CutWithoutSplitting(line, room);
    if (kept > (m_lines == 0 ? 0 : kLineBreak.size()))
    {
        m_text.append(line, 0, kept);
        ++m_lines;
    }
    return Refuse();
}

bool HarvestSink::Refuse()
{
    m_full = true;
    return false;
}

std::size_t HarvestSink::CharsLeft() const
{
    const std::size_t used = m_text.size() + m_blankChars;
    return used < m_limits.maxChars ? m_limits.maxChars - used : 0;
}

std::wstring HarvestSink::TakeText()
{
    std::wstring text = std::move(m_text);
    m_text.clear();
    if (m_full)
    {
        if (!text.empty())
        {
            text += kLineBreak;
        }
        text += Text(UiText::HarvestCut);
    }
    return text;
}

namespace
{

// Twice a box's vertical centre, so that centres stay whole numbers.
std::int64_t DoubleCentre(const ScreenBox& box)
{
    return std::int64_t{box.top} + box.bottom;
}

bool CentreWithin(const ScreenBox& box, const ScreenBox& extent)
{
    const std::int64_t centre = DoubleCentre(box);
    return 2 * std::int64_t{extent.top} <= centre && centre <= 2 * std::int64_t{extent.bottom};
}

// Side by side: apart from the centres, neither overlaps the other across, as a frame and
// the controls inside it do.
bool ShareRow(const ScreenBox& a, const ScreenBox& b)
{
    const bool overlapAcross = a.left < b.right && b.left < a.right;
    return !overlapAcross && CentreWithin(a, b) && CentreWithin(b, a);
}

ScreenBox Normalised(ScreenBox box)
{
    if (box.right < box.left)
    {
        std::swap(box.left, box.right);
    }
    if (box.bottom < box.top)
    {
        std::swap(box.top, box.bottom);
    }
    return box;
}

} // namespace

std::vector<std::size_t> ReadingOrder(std::span<const ScreenBox> input)
{
    std::vector<ScreenBox> boxes(input.begin(), input.end());
    std::transform(boxes.begin(), boxes.end(), boxes.begin(), Normalised);
    std::vector<std::size_t> byTop(boxes.size());
    for (std::size_t i = 0; i < byTop.size(); ++i)
    {
        byTop[i] = i;
    }
    const auto topThenLeft = [&](std::size_t a, std::size_t b)
    { return std::tie(boxes[a].top, boxes[a].left) < std::tie(boxes[b].top, boxes[b].left); };
    std::stable_sort(byTop.begin(), byTop.end(), topThenLeft);

    std::vector<std::vector<std::size_t>> rows;
    // Rows that a later control can still join: one whose first control ends above a control's
    // top cannot hold the centre of that control or of any after it.
    std::vector<std::size_t> open;
    for (const std::size_t index : byTop)
    {
        const ScreenBox& box = boxes[index];
        std::erase_if(open,
                      [&](std::size_t row) { return boxes[rows[row].front()].bottom < box.top; });
        const auto joined =
            std::find_if(open.begin(), open.end(),
                         [&](std::size_t row) { return ShareRow(boxes[rows[row].front()], box); });
        if (joined != open.end())
        {
            rows[*joined].push_back(index);
            continue;
        }
        open.push_back(rows.size());
        rows.push_back({index});
    }

    std::vector<std::size_t> order;
    order.reserve(boxes.size());
    const auto leftThenTop = [&](std::size_t a, std::size_t b)
    { return std::tie(boxes[a].left, boxes[a].top) < std::tie(boxes[b].left, boxes[b].top); };
    for (std::vector<std::size_t>& row : rows)
    {
        std::stable_sort(row.begin(), row.end(), leftThenTop);
        order.insert(order.end(), row.begin(), row.end());
    }
    return order;
}

} // namespace mirufon
