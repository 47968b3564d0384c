#pragma once

#include "capture/ReadTarget.h"

#include <string>

namespace mirufon
{

// How closely a reader's text belongs to the element under the point.
enum class TextLevel
{
    Container, // a window that holds the element (a group box over a page, a parent dialog)
    Control,   // the control under the point itself
    Item,      // an item, sub-item or child element of the control at the point
};

// What one reader found at the point.
struct ReaderAnswer
{
    // A password or protected element: nothing is to be read of it, by any reader.
    bool isProtected = false;
    TextLevel level = TextLevel::Control;
    std::wstring name;  // empty: nothing for the name
    std::wstring value; // empty: nothing for the value
    // The program refused to be read: it runs with more rights than this one (as administrator).
    bool refused = false;
};

// One way of reading the element at a point (Active Accessibility, the control's own window
// messages, ...). Runs on a worker thread; it may wait on the other program, up to its own
// time limits. Never throws.
class ElementReader
{
  public:
    ElementReader() = default;
    ElementReader(const ElementReader&) = delete;
    ElementReader& operator=(const ElementReader&) = delete;
    virtual ~ElementReader() = default;

    virtual ReaderAnswer Read(const ReadTarget& target, WantedTexts wanted) = 0;
};

} // namespace mirufon
