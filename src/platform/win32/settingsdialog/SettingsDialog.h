#pragma once

#include "hotkeys/HotKeyEditor.h"
#include "platform/win32/system/RunAtLogon.h"
#include "platform/win32/window/ControlSubclass.h"
#include "platform/win32/window/Handles.h"
#include "platform/win32/window/Monitors.h"
#include "platform/win32/window/WindowBase.h"
#include "platform/win32/window/WindowIcons.h"
#include "settings/Settings.h"
#include "shell/Dialogs.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace mirufon::win32
{

// The settings dialog: the six hotkey letters with their shared modifier, copy capture and
// tab separation. A modeless, always-on-top window owned by the main window; it edits the
// Settings record when it closes with "OK" or its close box, and nothing else. The owner
// disables itself while the dialog is open and passes its thread's messages through
// TranslateDialogMessage. When the dialog closes, it stores its choices and then calls
// onClose, synchronously, while its window still exists: the owner re-applies and enables
// itself there, so that the system hands the activation back to the owner when the dialog's
// window goes, as at the end of a modal dialog. Starting with Windows is not a setting: the box
// shows whether Windows starts this program at logon, and closing with a change of it writes or
// removes the program's entry there (runAtLogon).
class SettingsDialog final : public WindowBase
{
  public:
    // The dialog opens centred on the owner's monitor, at that monitor's scale.
    SettingsDialog(HINSTANCE instance, HWND owner, Settings& settings,
                   std::function<void(DialogClose)> onClose = {},
                   const MonitorLayout& monitors = SystemMonitors(),
                   std::optional<RunAtLogon> runAtLogon = std::nullopt);
    // Destroys the window without storing and without calling onClose, when still open. Not to
    // be destroyed from inside its own window's handlers or its onClose.
    ~SettingsDialog() override;

    // Creates the window, fills it from the settings, shows it and brings it to the front.
    // When it is already open, only brings it to the front. False when the window could not
    // be created.
    bool Open();

    // True from Open until the window is destroyed, however it closes.
    bool IsOpen() const { return Exists(); }
    void BringToFront();

    // Closes the window without storing anything, for the program's shutdown.
    void Close();

    // The dialog's keyboard interface (Tab, Shift+Tab, Enter as "OK", Escape as "Cancel"):
    // true when the message was meant for the dialog and has been handled.
    bool TranslateDialogMessage(MSG& message);

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    bool FindControls();
    void SubclassControls();
    void ApplyDpi(int dotsPerInch);
    void Fill();
    void RelabelPrefixes();
    EditorState CurrentState() const;
    int KeyListIndex(HWND control) const;
    bool RefuseFocusChange(HWND target);
    void CloseWith(DialogClose how);
    void ApplyStartWithWindows();

    void OnCommand(int id, int code);
    void OnActivate(bool active);
    HBRUSH OnControlColour(HDC dc, HWND control) const;

    HINSTANCE m_instance;
    HWND m_owner;
    Settings& m_settings;
    std::function<void(DialogClose)> m_onClose;
    const MonitorLayout& m_monitors;
    WindowIcons m_icons;
    RunAtLogon m_runAtLogon;

    int m_dotsPerInch = 96;
    std::int32_t m_twipsPerPixel = 15;
    UniqueFont m_labelFont;
    UniqueFont m_listFont;

    std::array<HWND, kKeyListCount> m_keyLists{};
    std::array<HWND, kKeyListCount> m_prefixes{};
    std::array<HWND, 8> m_headings{};
    HWND m_modifier = nullptr;
    HWND m_captureCopiesBox = nullptr;
    HWND m_tabSeparatedBox = nullptr;
    HWND m_startWithWindowsBox = nullptr;
    HWND m_ok = nullptr;
    HWND m_cancel = nullptr;

    std::vector<std::unique_ptr<ControlSubclass>> m_subclasses;
    EditorState m_filled;
    bool m_startsWithWindows = false; // what the box showed when the dialog opened
    HWND m_lastFocus = nullptr;
    bool m_refusing = false;
};

} // namespace mirufon::win32
