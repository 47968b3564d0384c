#pragma once

#include "hotkeys/HotKeyEditor.h"
#include "platform/win32/Handles.h"
#include "settings/Settings.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace mirufon::win32
{

// One subclass of a control through SetWindowSubclass, removed again when the object goes.
class ControlSubclass
{
  public:
    ControlSubclass(HWND control, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
    ControlSubclass(const ControlSubclass&) = delete;
    ControlSubclass& operator=(const ControlSubclass&) = delete;
    ControlSubclass(ControlSubclass&& other) noexcept;
    ControlSubclass& operator=(ControlSubclass&&) = delete;
    ~ControlSubclass();

  private:
    HWND m_control;
    SUBCLASSPROC m_procedure;
    UINT_PTR m_id;
};

// How the settings dialog went away.
enum class DialogClose
{
    Ok,       // "OK": the choices were stored
    Cancel,   // "Cancel": nothing was stored
    CloseBox, // the close box or the system menu: stored like "OK"
    Shutdown, // closed by the program's shutdown: nothing was stored
};

// The settings dialog frmSetting: the five hotkey letters with their shared modifier, copy
// capture and tab separation. A modeless, always-on-top window owned by the main window; it
// edits the Settings record when it closes with "OK" or its close box and nothing else. The
// owner disables itself while the dialog is open and passes its thread's messages through
// TranslateDialogMessage. When the dialog closes, it stores its choices and then calls
// onClose, synchronously, while its window still exists: the owner re-applies and enables
// itself there, so that the system hands the activation back to the owner when the dialog's
// window goes, as at the end of a modal dialog.
class SettingsDialog
{
  public:
    SettingsDialog(HINSTANCE instance, HWND owner, Settings& settings,
                   std::function<void(DialogClose)> onClose = {});
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;
    // Destroys the window without storing and without calling onClose, when still open. Not to
    // be destroyed from inside its own window's handlers or its onClose.
    ~SettingsDialog();

    // Creates the window, fills it from the settings, shows it and brings it to the front.
    // When it is already open, only brings it to the front. False when the window could not
    // be created.
    bool Open();

    // True from Open until the window is destroyed, however it closes.
    bool IsOpen() const { return m_window != nullptr; }
    HWND Handle() const { return m_window; }
    void BringToFront();

    // Closes the window without storing anything, for the program's shutdown.
    void Close();

    // The dialog's keyboard interface (Tab, Shift+Tab, Enter as "OK", Escape as "Cancel"):
    // true when the message was meant for the dialog and has been handled.
    bool TranslateDialogMessage(MSG& message);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    static LRESULT CALLBACK KeyListProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data) noexcept;
    static LRESULT CALLBACK FocusGateProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data) noexcept;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyListMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    // Building the window.
    static bool RegisterWindowClass(HINSTANCE instance);
    void CreateControls();
    void CreateToolTips();
    void ApplyDpi(int dotsPerInch);
    void PlaceControls();
    SIZE OuterSize() const;
    void Fill();

    // Behaviour.
    void OnCommand(int id, int code);
    void OnActivate(bool active);
    void OnSizing(WPARAM edge, RECT& rect) const;
    void OnWindowPosChanging(WINDOWPOS& position) const;
    HBRUSH OnControlColour(HDC dc, HWND control) const;
    void RelabelPrefixes();
    EditorState CurrentState() const;
    int KeyListIndex(HWND control) const;
    bool RefuseFocusChange(HWND target);
    void CloseWith(DialogClose how);

    HINSTANCE m_instance;
    HWND m_owner;
    Settings& m_settings;
    std::function<void(DialogClose)> m_onClose;
    HWND m_window = nullptr;

    int m_dotsPerInch = 96;
    std::int32_t m_twipsPerPixel = 15;
    UniqueFont m_labelFont;
    UniqueFont m_listFont;

    std::array<HWND, kKeyListCount> m_keyLists{};
    std::array<HWND, kKeyListCount> m_prefixes{};
    std::array<HWND, 7> m_headings{};
    HWND m_modifier = nullptr;
    HWND m_addCopy = nullptr;
    HWND m_tab = nullptr;
    HWND m_ok = nullptr;
    HWND m_cancel = nullptr;
    HWND m_hotKeyFrame = nullptr;
    HWND m_otherFrame = nullptr;
    HWND m_toolTip = nullptr; // owned by the dialog window, destroyed with it

    std::vector<ControlSubclass> m_subclasses;
    EditorState m_filled;
    HWND m_lastFocus = nullptr;
    bool m_refusing = false;
};

} // namespace mirufon::win32
