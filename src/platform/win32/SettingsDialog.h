#pragma once

#include "hotkeys/HotKeyEditor.h"
#include "platform/win32/Handles.h"
#include "settings/Settings.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
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

// The settings dialog frmSetting: the five hotkey letters with their shared modifier, copy
// capture and tab separation. A modeless, always-on-top window owned by the main window; it
// edits the Settings record when it closes with "OK" or its close box and nothing else. The
// owner disables itself and waits for IsOpen() to turn false, passing its messages through
// TranslateDialogMessage meanwhile.
class SettingsDialog
{
  public:
    SettingsDialog(HINSTANCE instance, HWND owner, Settings& settings);
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;
    // Closes the window without storing, when still open. Not to be destroyed from inside its
    // own window's handlers (the duplicate message runs a message loop of its own).
    ~SettingsDialog();

    // Creates the window, fills it from the settings, shows it and brings it to the front.
    // When it is already open, only brings it to the front. False when the window could not
    // be created.
    bool Open();

    // True from Open until the window is destroyed, however it closes.
    bool IsOpen() const { return m_window != nullptr; }
    HWND Handle() const { return m_window; }
    void BringToFront();

    // Destroys the window without storing anything, for the program's shutdown.
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
    void CloseWith(int index);

    HINSTANCE m_instance;
    HWND m_owner;
    Settings& m_settings;
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
