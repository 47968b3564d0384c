#pragma once

#include "capture/Harvest.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirufon
{

// The roles of accessible elements that a harvest tells apart.
enum class AccessibleRole
{
    Other,
    List,    // its children are items, one per line
    Outline, // a tree: its children are items, nested under the items they belong to
    Table,   // its children are rows, whose children are cells
};

struct AccessibleState
{
    bool invisible = false;   // not shown at all: left out with everything under it
    bool collapsed = false;   // a tree item whose children are hidden
    bool isProtected = false; // a password: its name is never read
};

// An element of another program's user interface as its accessibility layer describes it.
// Every call may wait on that program; a property that cannot be read gives its empty value.
class AccessibleElement
{
  public:
    AccessibleElement() = default;
    AccessibleElement(const AccessibleElement&) = delete;
    AccessibleElement& operator=(const AccessibleElement&) = delete;
    virtual ~AccessibleElement() = default;

    virtual AccessibleRole Role() = 0;
    virtual std::wstring Name() = 0;
    // A tree item's value is its level (0 at the top) where the tree is told as a flat list.
    virtual std::wstring Value() = 0;
    // A list view item's description holds its other columns.
    virtual std::wstring Description() = 0;
    virtual AccessibleState State() = 0;
    // The element that holds this one; nothing at the top or when it cannot be had.
    virtual std::unique_ptr<AccessibleElement> Parent() = 0;
    // How many children it says it has; 0 when it does not say.
    virtual std::size_t ChildCount() = 0;
    // The children from the one at index start on, at most count: one entry per child the
    // program gave, null for an entry that is neither an object nor a child identifier; fewer
    // (none) past the last.
    virtual std::vector<std::unique_ptr<AccessibleElement>> Children(std::size_t start,
                                                                     std::size_t count) = 0;
    // For a list: the headings of the columns its items describe, in the order shown (a list
    // view's visible header); none when it shows none.
    virtual std::vector<std::wstring> ColumnHeadings() = 0;
};

// Harvests the list, outline or table that the element is, or lies in (its nearest such
// ancestor, a few levels up at most): a list's items one per line, each followed by the
// columns its description tells (after the headings, when the list shows them); a table's rows
// one per line, their cells joined by tabs (a child without children gives its own name); an
// outline's items in order, each indented by its nesting or by the level it tells, the
// children of collapsed items left out. Invisible elements are left out with everything under
// them; a protected one gives no name. False when neither the element nor an ancestor is any
// of the three; nothing is added then.
bool HarvestAccessible(AccessibleElement& hit, HarvestSink& sink);

// The cells of a list view item's other columns, from its description: "Heading: text" for
// each column that has text, joined by ", ", as Windows tells them. Given the headings of all
// columns (the first one's is the item's own name), each heading's text goes to its column, an
// absent one's is empty; without headings, or when none of them is found, the description is
// split at ", " and a "Heading: " before a text is left out.
std::vector<std::wstring> CellsOfDescription(std::wstring_view description,
                                             std::span<const std::wstring> headings);

} // namespace mirufon
