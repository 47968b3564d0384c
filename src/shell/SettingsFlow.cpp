#include "shell/SettingsFlow.h"

namespace mirufon
{

void BeforeSettingsDialog(HotKeyManager& hotKeys)
{
    hotKeys.Unregister();
}

void AfterSettingsDialog(CopyCapture& copyCapture, HotKeyManager& hotKeys, Settings& settings,
                         bool running, CaptureLog& log,
                         const std::function<void(const KeyLabels&)>& showKeyLabels)
{
    copyCapture.End();
    if (settings.AddCopy == 1)
    {
        copyCapture.Start();
    }
    else
    {
        copyCapture.End();
    }
    // All five while running; only stop/resume while stopped.
    hotKeys.Register(settings, running);
    settings.Separator = SeparatorFor(settings.SeparateTab);
    showKeyLabels(ShowKeyLabels(settings));
    log.RefreshIntroduction();
}

} // namespace mirufon
