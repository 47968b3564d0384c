#include "capture/AccessibleHarvest.h"

#include <algorithm>
#include <optional>

namespace mirufon
{
namespace
{

// A list item's parent is the list; a cell's grandparent the table. Further up lie the
// window's frame and its parents, which a harvest has no business with.
constexpr int kMostLevelsUp = 3;
constexpr std::size_t kChildrenAtOnce = 256;
// Bounds on what an accessibility layer that repeats itself endlessly can make a harvest do:
// the cells of one row, and the depth of an outline.
constexpr std::size_t kMostCells = 4096;
constexpr std::size_t kDeepestOutline = 256;
constexpr std::size_t kAllChildren = kHarvestMaxLines + 1;

constexpr std::wstring_view kCellSeparator = L", ";
constexpr std::wstring_view kHeadingEnd = L": ";

// Calls visit(child, state) for each child that is not invisible, in order, up to most
// children; false as soon as visit does or the sink says to stop. Children are asked for in
// batches: the next batch starts after the children asked for, whatever the program gave for
// them, and a batch that brings nothing before the last child it counted is not the end.
template <typename Visit>
bool ForEachChild(AccessibleElement& parent, HarvestSink& sink, std::size_t most, Visit visit)
{
    const std::size_t told = parent.ChildCount();
    for (std::size_t start = 0; start < most;)
    {
        if (sink.ShouldStop())
        {
            return false;
        }
        const std::size_t asked = std::min(kChildrenAtOnce, most - start);
        const auto children = parent.Children(start, asked);
        for (const auto& child : children)
        {
            if (!child)
            {
                continue;
            }
            const AccessibleState state = child->State();
            if (state.invisible)
            {
                continue;
            }
            if (sink.ShouldStop() || !visit(*child, state))
            {
                return false;
            }
        }
        start += asked;
        if (children.size() < asked && start >= told)
        {
            return true;
        }
    }
    return true;
}

std::wstring ShownName(AccessibleElement& element, const AccessibleState& state)
{
    return state.isProtected ? std::wstring() : element.Name();
}

void HarvestList(AccessibleElement& list, HarvestSink& sink)
{
    const std::vector<std::wstring> headings = list.ColumnHeadings();
    if (!headings.empty() && !sink.AddLine(headings))
    {
        return;
    }
    ForEachChild(list, sink, kAllChildren,
                 [&](AccessibleElement& item, const AccessibleState& state)
                 {
                     std::vector<std::wstring> cells{ShownName(item, state)};
                     if (!state.isProtected)
                     {
                         const std::wstring description = item.Description();
                         if (!description.empty() || headings.size() > 1)
                         {
                             for (std::wstring& cell : CellsOfDescription(description, headings))
                             {
                                 cells.push_back(std::move(cell));
                             }
                         }
                     }
                     return sink.AddLine(cells);
                 });
}

void HarvestTable(AccessibleElement& table, HarvestSink& sink)
{
    ForEachChild(table, sink, kAllChildren,
                 [&](AccessibleElement& row, const AccessibleState& rowState)
                 {
                     std::vector<std::wstring> cells;
                     ForEachChild(row, sink, kMostCells,
                                  [&](AccessibleElement& cell, const AccessibleState& state)
                                  {
                                      cells.push_back(ShownName(cell, state));
                                      return true;
                                  });
                     if (cells.empty())
                     {
                         cells.push_back(ShownName(row, rowState));
                     }
                     return sink.AddLine(cells);
                 });
}

// The level a tree item tells as its value (0 at the top), as Windows' tree view does, where
// it gives its items as one flat list.
std::optional<std::size_t> ToldLevel(const std::wstring& value)
{
    if (value.empty() || value.size() > 3 ||
        !std::all_of(value.begin(), value.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
    {
        return std::nullopt;
    }
    const std::size_t level = std::stoul(value);
    return level < kDeepestOutline ? std::optional<std::size_t>(level) : std::nullopt;
}

bool HarvestOutlineItems(AccessibleElement& parent, std::size_t depth, HarvestSink& sink)
{
    // In a flat list of items that tell their levels, the items after a collapsed one that lie
    // deeper than it are its hidden children. A told level is taken only where it can be one:
    // the first item at the top, each next one at most one level below the item before it (a
    // value that is a count, say, soon breaks that).
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t collapsedAt = kNone;
    std::optional<std::size_t> previous;
    return ForEachChild(parent, sink, kAllChildren,
                        [&](AccessibleElement& item, const AccessibleState& state)
                        {
                            std::size_t level = depth;
                            if (depth == 0)
                            {
                                const auto told = ToldLevel(item.Value());
                                if (told && *told <= (previous ? *previous + 1 : 0))
                                {
                                    level = *told;
                                }
                                previous = level;
                            }
                            if (collapsedAt != kNone && level > collapsedAt)
                            {
                                return true;
                            }
                            collapsedAt = kNone;
                            if (!sink.AddLine(ShownName(item, state), level))
                            {
                                return false;
                            }
                            if (state.collapsed)
                            {
                                collapsedAt = level;
                                return true;
                            }
                            if (depth + 1 >= kDeepestOutline)
                            {
                                return true;
                            }
                            return HarvestOutlineItems(item, depth + 1, sink);
                        });
}

// The cells between the headings found in the description, each in its column.
std::vector<std::wstring> CellsUnderHeadings(std::wstring_view description,
                                             std::span<const std::wstring> headings)
{
    struct Found
    {
        std::size_t column = 0;
        std::size_t markerAt = 0;
        std::size_t textAt = 0;
    };
    std::vector<Found> found;
    std::size_t cursor = 0;
    for (std::size_t column = 1; column < headings.size(); ++column)
    {
        const std::wstring marker = headings[column] + std::wstring(kHeadingEnd);
        for (std::size_t at = description.find(marker, cursor); at != std::wstring_view::npos;
             at = description.find(marker, at + 1))
        {
            if (at == 0 || description.substr(0, at).ends_with(kCellSeparator))
            {
                found.push_back(Found{column, at, at + marker.size()});
                cursor = at + marker.size();
                break;
            }
        }
    }
    std::vector<std::wstring> cells(headings.size() - 1);
    for (std::size_t i = 0; i < found.size(); ++i)
    {
        const std::size_t end = i + 1 < found.size() ? found[i + 1].markerAt - kCellSeparator.size()
                                                     : description.size();
        cells[found[i].column - 1] =
            description.substr(found[i].textAt, std::max(end, found[i].textAt) - found[i].textAt);
    }
    if (found.empty() && !description.empty())
    {
        return {};
    }
    return cells;
}

} // namespace

std::vector<std::wstring> CellsOfDescription(std::wstring_view description,
                                             std::span<const std::wstring> headings)
{
    const std::size_t columns = headings.size() > 1 ? headings.size() - 1 : 0;
    if (columns > 0)
    {
        std::vector<std::wstring> cells = CellsUnderHeadings(description, headings);
        if (!cells.empty() || description.empty())
        {
            return cells;
        }
    }
    std::vector<std::wstring> cells;
    for (std::size_t start = 0; start <= description.size();)
    {
        std::size_t end = description.find(kCellSeparator, start);
        end = end == std::wstring_view::npos ? description.size() : end;
        std::wstring_view cell = description.substr(start, end - start);
        if (const std::size_t heading = cell.find(kHeadingEnd); heading != std::wstring_view::npos)
        {
            cell.remove_prefix(heading + kHeadingEnd.size());
        }
        cells.emplace_back(cell);
        start = end + kCellSeparator.size();
    }
    if (cells.size() < columns)
    {
        cells.resize(columns);
    }
    return cells;
}

bool HarvestAccessible(AccessibleElement& hit, HarvestSink& sink)
{
    std::unique_ptr<AccessibleElement> ancestor;
    AccessibleElement* element = &hit;
    for (int level = 0; element; ++level)
    {
        switch (element->Role())
        {
        case AccessibleRole::List:
            HarvestList(*element, sink);
            return true;
        case AccessibleRole::Table:
            HarvestTable(*element, sink);
            return true;
        case AccessibleRole::Outline:
            HarvestOutlineItems(*element, 0, sink);
            return true;
        case AccessibleRole::Other:
            break;
        }
        if (level == kMostLevelsUp)
        {
            return false;
        }
        ancestor = element->Parent();
        element = ancestor.get();
    }
    return false;
}

} // namespace mirufon
