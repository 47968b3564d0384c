#pragma once

#include "capture/CaptureLog.h"
#include "capture/CopyCapture.h"
#include "hotkeys/HotKeys.h"
#include "settings/Settings.h"

#include <functional>

namespace mirufon
{

// What the main window does around the settings dialog. While the dialog is open no hotkey is
// registered (copy capture goes on). After it closes, whichever way, everything it may have
// changed is applied again. The copy handler and the hotkey handler both replace the main
// window's procedure, so the hotkeys go first and come back last: the viewer leaves and, when
// copy capture is on, rejoins while the hotkey handler is off.
void BeforeSettingsDialog(HotKeyManager& hotKeys);

void AfterSettingsDialog(CopyCapture& copyCapture, HotKeyManager& hotKeys, Settings& settings,
                         bool running, CaptureLog& log,
                         const std::function<void(const KeyLabels&)>& showKeyLabels);

} // namespace mirufon
