#pragma once

#include "settings/Settings.h"

#include <tuple>

namespace mirufon
{

// Every field of the record, for whole-record comparisons in tests and the fuzz target.
inline auto SettingsFields(const Settings& s)
{
    return std::tie(s.windowLeft, s.windowTop, s.windowWidth, s.windowHeight, s.startInTray,
                    s.autoCloseTime, s.popupPosition, s.searchString, s.searchFuzzy, s.customItem,
                    s.showMessages, s.nameKey, s.valueKey, s.cancelKey, s.lineBreakKey, s.stopKey,
                    s.harvestKey, s.modifier, s.alwaysOnTop, s.tabSeparated, s.captureCopies,
                    s.separator);
}

} // namespace mirufon
