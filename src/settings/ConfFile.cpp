#include "settings/ConfFile.h"

#include "settings/ConfText.h"

namespace mirufon
{

void ReadConf(ConfStore& store, Settings& settings)
{
    if (const auto text = store.Read())
    {
        ParseConf(*text, settings);
    }
    settings.separator = SeparatorFor(settings.tabSeparated);
}

StoreWrite WriteConf(ConfStore& store, const Settings& settings, const WindowGeometry& current)
{
    Settings written = settings;
    written.windowLeft = current.left;
    written.windowTop = current.top;
    written.windowWidth = current.width;
    written.windowHeight = current.height;
    return store.Write(FormatConf(written));
}

} // namespace mirufon
