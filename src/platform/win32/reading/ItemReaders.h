#pragma once

#include "capture/ControlKind.h"
#include "capture/Harvest.h"
#include "platform/win32/reading/ControlSession.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirufon::win32
{

// One reader per standard control class that holds items, used both for the item under the
// pointer and for a harvest of every item. Each asks the control by its own window messages,
// through the session (and, for the common controls, the read's block in its process). Every
// answer is input from another program: texts end at their first NUL and are bounded, an item
// the control says it no longer has is skipped, and a harvest stops where the sink says.
class ItemReader
{
  public:
    ItemReader() = default;
    ItemReader(const ItemReader&) = delete;
    ItemReader& operator=(const ItemReader&) = delete;
    virtual ~ItemReader() = default;

    // Whether the control keeps texts for its items at all: an owner-drawn list that keeps no
    // strings draws its owner's data.
    virtual bool KeepsTexts() { return true; }
    // The text of the item at the point of the control's client area (in the control's own
    // units), at most maxChars characters; nothing when no item lies there or it cannot be
    // asked.
    virtual std::optional<std::wstring> ItemAt(POINT client, std::size_t maxChars) = 0;
    // Every item into the sink:
    // - list box, combo box, drop-down list: in order, one per line;
    // - list view: the column headings first when it shows them (report view, header visible),
    //   then every row in index order, its cells joined by tabs in the order the columns are
    //   shown, columns of no width left out, empty cells kept;
    // - tree view: every item whose ancestors are all expanded, in display order, indented one
    //   tab per level below the top;
    // - header, status bar: the items or parts joined by tabs, on one line;
    // - tab control: the tab captions, one per line.
    virtual void HarvestAll(HarvestSink& sink) = 0;
};

// The reader for a control of the kind; null for kinds that hold no items.
std::unique_ptr<ItemReader> ItemReaderFor(ControlKind kind, ControlSession& session);

// Reads every item of the control into the sink (see ItemReader::HarvestAll).
ControlRead HarvestControl(HWND control, ControlKind kind, HarvestSink& sink, ReadMemory& memory,
                           std::chrono::milliseconds messageLimit);

// The readers of each class, one file each.
std::unique_ptr<ItemReader> MakeListReader(ControlSession& session, ControlKind kind);
std::unique_ptr<ItemReader> MakeListViewReader(ControlSession& session);
std::unique_ptr<ItemReader> MakeTreeViewReader(ControlSession& session);
std::unique_ptr<ItemReader> MakeHeaderReader(ControlSession& session);
std::unique_ptr<ItemReader> MakeStatusBarReader(ControlSession& session);
std::unique_ptr<ItemReader> MakeTabControlReader(ControlSession& session);

// Helpers the readers share.
// A count the control told; 0 when it told nothing or something negative.
std::size_t CountOf(const std::optional<LRESULT>& answer);
// The indexes of count columns or header items in the order they are shown, as the control
// tells it with orderMessage; in index order when it tells nothing sensible.
std::vector<int> ShownOrder(ControlSession& session, UINT orderMessage, std::size_t count);

} // namespace mirufon::win32
