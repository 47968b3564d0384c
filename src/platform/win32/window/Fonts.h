#pragma once

#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// The program's fonts, by what they show.
enum class FontRole
{
    Label,   // captions, menus' neighbours, the preview: proportional, 9.75 pt
    Text,    // the log and the settings dialog's key lists: fixed pitch, 9.75 pt
    Message, // the message window: proportional, 15.75 pt
};
UniqueFont CreateProgramFont(FontRole role, int dotsPerInch);

} // namespace mirufon::win32
