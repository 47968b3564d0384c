#pragma once

#include "hotkeys/HotKeys.h"
#include "settings/Settings.h"

#include <string>

namespace mirufon
{

// The introduction text of the log, built from the current settings; also the body of the
// hotkey help message.
std::wstring IntroductionText(const Settings& settings);
// The introduction's line for one command's hotkey: modifier + "+" + key + "：" + what it does
// ("Shift+A：ポイント位置文字列取得 accName").
std::wstring HotKeyLine(const Settings& settings, HotKeyCommand command);

// The two key labels of the main window: modifier + "+" + key, as stored.
struct KeyLabels
{
    std::wstring name;
    std::wstring value;
};
KeyLabels KeyLabelsFor(const Settings& settings);

} // namespace mirufon
