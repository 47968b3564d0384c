#pragma once

#include "capture/Harvest.h"
#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/RemoteMemory.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirufon::win32
{

// The standard controls whose items a harvest asks for by their own window messages.
enum class ItemControl
{
    None,
    ListBox, // ComboLBox, the drop-down list of a combo box, too
    ComboBox,
    ListView,
    TreeView,
    Header,
    StatusBar,
    TabControl,
};

// What kind of item-holding control the window is, by its class (case ignored).
ItemControl ItemControlOf(HWND window);

// One block of memory in the process of the controls being harvested, for the messages whose
// parameters point at structures or texts the control fills in: one block per harvest (per
// process, should a window hold controls of another process), not one per item.
class HarvestMemory
{
  public:
    HarvestMemory() = default;
    HarvestMemory(const HarvestMemory&) = delete;
    HarvestMemory& operator=(const HarvestMemory&) = delete;

    // The block in the control's process, committed on first use; null when that process
    // cannot be opened or its pointers are not the size of ours.
    RemoteBuffer* BlockFor(HWND control);
    HANDLE Process() const { return m_process.Get(); }

  private:
    DWORD m_processId = 0;
    // Declared before the block, which frees itself through it: it is closed after the block.
    UniqueKernelHandle m_process;
    std::unique_ptr<RemoteBuffer> m_block;
};

// How reading one control's items went.
enum class ControlHarvest
{
    Read,         // its lines are in the sink (up to where the sink said to stop)
    NoStrings,    // an owner-drawn list that keeps no strings: nothing to ask for
    NoMemory,     // a common control whose process's memory cannot be used (other bitness)
    NotAnswering, // a message went unanswered (the control is asked nothing more), or its
                  // memory could not be read back: what was read is incomplete
};

// Adds the control's items to the sink, asking it by its own window messages, each answered
// within the limit or never sent again:
// - list box, combo box, drop-down list: every item in order, one per line; an item longer
//   than kMaxItemTextChars is left out;
// - list view: the column headings first when it shows them (report view, header visible),
//   then every row in index order, its cells joined by tabs in the order the columns are
//   shown, columns of no width left out, empty cells kept;
// - tree view: every item whose ancestors are all expanded, in display order, indented one tab
//   per level below the top;
// - header, status bar: the items or parts joined by tabs, on one line;
// - tab control: the tab captions, one per line.
ControlHarvest HarvestControl(HWND control, ItemControl kind, HarvestSink& sink,
                              HarvestMemory& memory, std::chrono::milliseconds messageLimit);

// The text of item index of a list box (LB_GETTEXTLEN, LB_GETTEXT) or of a combo box
// (CB_GETLBTEXTLEN, CB_GETLBTEXT). These messages take no buffer size: the text goes into
// buffer, made to hold kMaxItemTextChars characters and the terminator whatever the length
// says, and an item that says it is longer gives nothing, as does one that is gone or does not
// answer.
std::optional<std::wstring> BoundedListItemText(ControlMessenger& messenger, UINT lengthMessage,
                                                UINT textMessage, WPARAM index,
                                                std::vector<wchar_t>& buffer);

} // namespace mirufon::win32
