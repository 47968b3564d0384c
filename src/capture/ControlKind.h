#pragma once

namespace mirufon
{

// What kind of control lies under the point, as far as reading it goes: the one classification
// of window classes that the reads of one element and the harvests share.
enum class ControlKind
{
    Other,      // buttons, labels, windows: their caption is their name
    Edit,       // its text is its value
    ComboBox,   // its text is its value; a harvest takes its list's items
    ListBox,    // holds items (the drop-down list of a combo box too)
    ListView,   // holds items and sub-items
    TreeView,   // holds items
    Header,     // holds items (column headings)
    StatusBar,  // holds parts
    TabControl, // holds tabs
};

// Whether items of the control can lie under the point, so that the control's own text is
// only the container's and an item's text is the one wanted.
bool HoldsItems(ControlKind kind);

} // namespace mirufon
