#pragma once

#include "capture/CaptureLog.h"
#include "capture/CopyCapture.h"
#include "hotkeys/HotKeys.h"
#include "platform/win32/EditTextBox.h"
#include "platform/win32/FileConfStore.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SettingsDialog.h"
#include "platform/win32/TrayIcon.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32ClipboardChain.h"
#include "platform/win32/Win32HotKeys.h"
#include "settings/ConfFile.h"
#include "settings/Settings.h"
#include "shell/Layout.h"

#include <memory>
#include <optional>

namespace mirufon::win32
{

// The program's main window: the preview band, the key labels, the capture log, the menus,
// the global hotkeys and the start-up and shutdown sequences.
class MainWindow
{
  public:
    explicit MainWindow(HINSTANCE instance);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Creates the window, runs the start-up sequence and shows it. False when the window
    // could not be created.
    bool Create();
    HWND Handle() const { return m_window; }
    // The settings dialog's keyboard interface, for the thread's message loop: true when the
    // message was meant for the open dialog and has been handled.
    bool TranslateDialogMessage(MSG& message);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    static LRESULT CALLBACK HotKeyWndProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
    static LRESULT CALLBACK ClipViewerProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT OnHotKeyProcedure(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT OnClipViewerProcedure(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    // Creation and the start-up and shutdown sequences.
    void OnCreate();
    void CreateControls();
    void CreateMenus();
    void ApplyFonts();
    void Load();
    void Unload();
    void ApplyGeometry();
    WindowGeometry CurrentGeometry() const;
    void OnDpiChanged(int dotsPerInch, const RECT& suggested);

    // Commands.
    void OnCommand(int id);
    void RunHotKeyCommand(HotKeyCommand command);
    void KeyGetName();
    void KeyGetValue();
    void KeyStop();
    void MnuGoClick();
    void SetRunState(bool run);
    bool IsRunning() const;
    void MnuDispTopClick();
    void MnuClearClick();
    void MnuHelpHotKeyClick();
    void MnuHelpClick();
    void SetTopMost(bool topMost);
    void MnuSettingClick();
    void OnSettingsDialogClosed(DialogClose how);
    void ReapplySettings();
    void CloseSettingsDialog();
    void ApplyKeyLabels(const KeyLabels& labels);
    void MnuTrayOutClick();
    void MnuEnd2Click();

    // The notification-area icon.
    void TrayIconSet();
    void OnTrayMessage(UINT mouseEvent);
    void ShowPopupMenu();

    // The pointer preview and the own-window test.
    void OnPreviewTick();
    bool IsOverMainWindow(POINT screen) const;
    std::wstring GetPointText(int target) const;

    // Layout and painting.
    void Layout();
    void PlaceControls();
    void Paint();
    HBRUSH OnControlColour(HDC dc, HWND control);
    RECT ToPixels(const ControlRect& container, const ControlRect& control) const;
    RECT ToPixels(const ControlRect& rect) const;
    void SetLogBackground(COLORREF colour);

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    bool m_unloaded = false;

    Settings m_settings;
    FileConfStore m_conf;
    int m_dotsPerInch = 96;
    std::int32_t m_twipsPerPixelX = 15;
    std::int32_t m_twipsPerPixelY = 15;
    MainLayout m_layout;

    EditTextBox m_log;
    std::optional<CaptureLog> m_captureLog;
    HWND m_lblName = nullptr;
    HWND m_lblValue = nullptr;
    EditTextBox m_previewName;
    EditTextBox m_previewValue;
    HWND m_lblKeyName = nullptr;
    HWND m_lblKeyValue = nullptr;

    UniqueMenu m_popupMenu;
    HMENU m_menuBar = nullptr; // owned by the window once set

    std::optional<Win32ClipboardChain> m_clipboardChain;
    std::optional<CopyCapture> m_copyCapture;
    Win32MessagePump m_pump;

    std::unique_ptr<SettingsDialog> m_settingsDialog;

    TrayIcon m_tray;
    UINT m_taskbarCreated = 0;
    bool m_hiddenInTray = false;

    std::optional<Win32HotKeyApi> m_hotKeyApi;
    std::optional<Win32ProcedureSlot> m_procedureSlot;
    std::optional<HotKeyManager> m_hotKeys;
    HotKeyDispatcher m_dispatcher;

    UniqueFont m_uiFont;
    UniqueFont m_logFont;
    UniqueBrush m_whiteBrush;
    COLORREF m_logBackground = 0;
};

} // namespace mirufon::win32
