#pragma once

#include "capture/Harvest.h"

#include <cstddef>
#include <memory>
#include <string>
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
    bool invisible = false; // not shown at all: left out with everything under it
    bool collapsed = false; // a tree item whose children are hidden
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
    virtual AccessibleState State() = 0;
    // The element that holds this one; nothing at the top or when it cannot be had.
    virtual std::unique_ptr<AccessibleElement> Parent() = 0;
    // At most count children, from the one at index start on; fewer (none) past the last.
    virtual std::vector<std::unique_ptr<AccessibleElement>> Children(std::size_t start,
                                                                     std::size_t count) = 0;
};

// Harvests the list, outline or table that the element is, or lies in (its nearest such
// ancestor, a few levels up at most): a list's items one per line; a table's rows one per
// line, their cells joined by tabs (a child without children gives its own name); an
// outline's items in order, each indented by its nesting, the children of collapsed items
// left out. Invisible elements are left out with everything under them. False when neither
// the element nor an ancestor is any of the three; nothing is added then.
bool HarvestAccessible(AccessibleElement& hit, HarvestSink& sink);

} // namespace mirufon
