#pragma once

#include "capture/ElementReader.h"
#include "platform/win32/reading/ControlMessages.h"

#include <cstddef>
#include <optional>
#include <string>

namespace mirufon::win32
{

// The text of the item at a point of the control's client area, asked of the control by its
// own window messages: the list box item, the list view item or sub-item, the tree view item,
// the header item or the status bar part there. Nothing when no item lies under the point,
// when the control does not answer in time, or when it cannot be asked: an owner-drawn list
// box that keeps no strings, or a common control in a process whose pointers are not the size
// of ours (those messages go through memory of the control's process). At most maxChars
// characters. Kinds that hold no items give nothing.
std::optional<std::wstring> ItemTextAt(ControlKind kind, ControlMessenger& messenger, POINT client,
                                       std::size_t maxChars);

// The two kinds of list whose items are read with a message that takes no buffer size.
enum class ListKind
{
    ListBox,  // LB_GETTEXTLEN, LB_GETTEXT
    ComboBox, // CB_GETLBTEXTLEN, CB_GETLBTEXT
};

// The text of the list's item at the index, at most maxChars characters of it. Nothing when
// the item does not exist, the list keeps no strings (owner-drawn without HASSTRINGS), the
// list does not answer in time, or the item is announced longer than kMaxItemTextChars. The
// text is copied into a buffer that holds kMaxItemTextChars characters, whatever length was
// announced, so that an item that grows between the length and the text does not overrun it;
// one that has grown past that limit is not taken.
std::optional<std::wstring> ListItemText(ControlMessenger& messenger, WPARAM index, ListKind kind,
                                         std::size_t maxChars);

} // namespace mirufon::win32
