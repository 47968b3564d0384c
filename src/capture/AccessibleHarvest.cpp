#include "capture/AccessibleHarvest.h"

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

// Calls visit(child, state) for each child that is not invisible, in order, up to most
// children; false as soon as visit does or the sink says to stop.
template <typename Visit>
bool ForEachChild(AccessibleElement& parent, HarvestSink& sink, std::size_t most, Visit visit)
{
    std::size_t start = 0;
    while (start < most)
    {
        if (sink.ShouldStop())
        {
            return false;
        }
        const auto children = parent.Children(start, std::min(kChildrenAtOnce, most - start));
        if (children.empty())
        {
            return true;
        }
        start += children.size();
        for (const auto& child : children)
        {
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
    }
    return true;
}

constexpr std::size_t kAllChildren = kHarvestMaxLines + 1;

void HarvestList(AccessibleElement& list, HarvestSink& sink)
{
    ForEachChild(list, sink, kAllChildren,
                 [&](AccessibleElement& item, AccessibleState)
                 { return sink.AddLine(item.Name()); });
}

void HarvestTable(AccessibleElement& table, HarvestSink& sink)
{
    ForEachChild(table, sink, kAllChildren,
                 [&](AccessibleElement& row, AccessibleState)
                 {
                     std::vector<std::wstring> cells;
                     ForEachChild(row, sink, kMostCells,
                                  [&](AccessibleElement& cell, AccessibleState)
                                  {
                                      cells.push_back(cell.Name());
                                      return true;
                                  });
                     if (cells.empty())
                     {
                         cells.push_back(row.Name());
                     }
                     return sink.AddLine(cells);
                 });
}

bool HarvestOutlineItems(AccessibleElement& parent, std::size_t depth, HarvestSink& sink)
{
    return ForEachChild(parent, sink, kAllChildren,
                        [&](AccessibleElement& item, AccessibleState state)
                        {
                            if (!sink.AddLine(item.Name(), depth))
                            {
                                return false;
                            }
                            if (state.collapsed || depth + 1 >= kDeepestOutline)
                            {
                                return true;
                            }
                            return HarvestOutlineItems(item, depth + 1, sink);
                        });
}

} // namespace

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
