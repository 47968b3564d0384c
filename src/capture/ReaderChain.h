#pragma once

#include "capture/ElementReader.h"

#include <span>
#include <string>

namespace mirufon
{

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
