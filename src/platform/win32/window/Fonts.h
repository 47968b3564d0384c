#pragma once

#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// A font of the Japanese character set at a size in hundredths of a point (975 is 9.75 pt)
// for a screen of the given DPI. When the system lacks the named face,
// the system's own UI font for messages takes its place, which on Japanese systems shows
// Japanese text.
UniqueFont CreateJapaneseFont(const wchar_t* face, int hundredthsOfPoint, int dotsPerInch);

// The program's fonts, by what they show.
enum class FontRole
{
    Label,   // captions, menus' neighbours, the preview: proportional, 9.75 pt
    Text,    // the log and the settings dialog's key lists: fixed pitch, 9.75 pt
    Message, // the message window: proportional, 15.75 pt
};
UniqueFont CreateProgramFont(FontRole role, int dotsPerInch);

} // namespace mirufon::win32
