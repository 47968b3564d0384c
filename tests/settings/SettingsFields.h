#pragma once

#include "settings/Settings.h"

#include <tuple>

namespace mirufon
{

// Every field of the record, for whole-record comparisons in tests and the fuzz target.
inline auto SettingsFields(const Settings& s)
{
    return std::tie(s.FormLeft, s.FormTop, s.FormWidth, s.FormHeight, s.TaskTray, s.TimeAutoClose,
                    s.DispPos, s.SearchString, s.SearchFuzzy, s.CustomItem, s.CustomMsg,
                    s.HotKeyGetName, s.HotKeyGetValue, s.HotKeyBack, s.HotKeyCrlf, s.HotKeyStop,
                    s.HotKeyModify, s.DispTop, s.SeparateTab, s.AddCopy, s.Separator);
}

} // namespace mirufon
