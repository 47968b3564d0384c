#pragma once

#include "platform/Clipboard.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

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

// No limit on the length of a text: a capture takes the whole text.
inline constexpr std::size_t kWholeText = std::numeric_limits<std::size_t>::max();
// The preview boxes show the beginning of a text; a read for the preview asks no more.
inline constexpr std::size_t kPreviewChars = 4096;

// What a reader tells about a read while it runs.
class ReadProgress
{
  public:
    ReadProgress() = default;
    ReadProgress(const ReadProgress&) = delete;
    ReadProgress& operator=(const ReadProgress&) = delete;
    virtual ~ReadProgress() = default;

    // The program under the point answers: a harvest's items arrive, or a text of this many
    // characters is on its way (0 when none is announced). The read is not stuck, though
    // copying that much may take a while.
    virtual void Answering(std::size_t chars) = 0;
    // Whether the read is to stop before its next item (a harvest that was cancelled).
    virtual bool Cancelled() const = 0;
};

// Texts longer than this are announced before they are copied.
inline constexpr std::size_t kLongTextChars = 1'000'000;

// The element a read is about: the screen point, and the control there as the readers see
// it, worked out once per read before any reader runs.
struct ReadTarget
{
    std::int32_t x = 0; // screen point, pixels
    std::int32_t y = 0;
    // The smallest visible child window that contains the point, group boxes skipped (they
    // cover the controls of a page); the top-level window itself when it has none there.
    WindowId control = 0;
    ControlKind kind = ControlKind::Other;
    // A password box, of any toolkit: nothing is read of it.
    bool isPassword = false;
    // At most this many characters are wanted of each text.
    std::size_t maxChars = kWholeText;
    // Told of a long text before it is copied, when anyone listens.
    ReadProgress* progress = nullptr;
};

// Which of the two texts a read wants.
struct WantedTexts
{
    bool name = false;
    bool value = false;
};

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

// The texts of the element at the point.
struct ElementTexts
{
    bool isProtected = false;
    std::wstring name;
    std::wstring value;
    // No wanted text could be had because the program refused (it runs as administrator).
    bool refused = false;
    // Not read at all, to spare the other program: what was shown of it stands.
    bool skipped = false;

    friend bool operator==(const ElementTexts&, const ElementTexts&) = default;
};

// Reads the wanted texts with the readers in their order. A password edit is never asked at
// all; an answer that says the element is protected ends the read with nothing. A text
// settles with the first reader that gives it for the element itself: an item's text, or the
// control's own text when the control holds no items. The next reader is asked only while a
// wanted text is unsettled. A text that no reader settles takes the first container-level or
// item-holding control's text found, if any. Texts end at their first NUL, as controls draw
// them, and are cut to the target's maxChars. When no wanted text settles and a reader was
// refused, the texts say so.
ElementTexts ReadElement(const ReadTarget& target, WantedTexts wanted,
                         std::span<ElementReader* const> readers);

} // namespace mirufon
