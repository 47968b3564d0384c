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
    settings.Separator = SeparatorFor(settings.SeparateTab);
}

bool WriteConf(ConfStore& store, const Settings& settings, const WindowGeometry& current)
{
    Settings written = settings;
    written.FormLeft = current.left;
    written.FormTop = current.top;
    written.FormWidth = current.width;
    written.FormHeight = current.height;
    return store.Write(FormatConf(written));
}

} // namespace mirufon
