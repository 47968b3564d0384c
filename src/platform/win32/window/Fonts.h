#pragma once

#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// A font of the Japanese character set at a size in hundredths of a point (975 is 9.75 pt)
// for a screen of the given DPI. When the system lacks the named face,
// the system's own UI font for messages takes its place, which on Japanese systems shows
// Japanese text.
UniqueFont CreateJapaneseFont(const wchar_t* face, int hundredthsOfPoint, int dotsPerInch);

} // namespace mirufon::win32
