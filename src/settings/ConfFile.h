#pragma once

#include "platform/ConfStore.h"
#include "settings/Settings.h"

namespace mirufon
{

// A window's position and size in twips.
struct WindowGeometry
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Overlays the values Conf.txt holds, if there is one, on settings; the separator follows
// tabSeparated either way.
void ReadConf(ConfStore& store, Settings& settings);

// Writes the 21 lines of Conf.txt with the window's current geometry in place of the stored
// one. When the file could not be written the old file is left as it was.
StoreWrite WriteConf(ConfStore& store, const Settings& settings, const WindowGeometry& current);

} // namespace mirufon
