#pragma once

#include "capture/CaptureLog.h"
#include "platform/win32/EditTextBox.h"
#include "platform/win32/FileConfStore.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Clipboard.h"
#include "settings/ConfFile.h"
#include "settings/Settings.h"
#include "shell/Layout.h"

#include <memory>

namespace mirufon::win32
{

// The program's main window: the preview band, the key labels and the capture log.
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

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    void CreateControls();
    void CreateFonts();
    void Load();
    void Unload();
    void ApplyGeometry();
    WindowGeometry CurrentGeometry() const;
    void Layout();
    void PlaceControls();
    void Paint();
    HBRUSH OnControlColour(HDC dc, HWND control);
    RECT ToPixels(const ControlRect& container, const ControlRect& control) const;
    RECT ToPixels(const ControlRect& rect) const;

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    bool m_unloaded = false;

    Settings m_settings;
    FileConfStore m_conf;
    std::int32_t m_twipsPerPixelX = 15;
    std::int32_t m_twipsPerPixelY = 15;
    MainLayout m_layout;

    EditTextBox m_log;
    std::unique_ptr<CaptureLog> m_captureLog;
    HWND m_lblName = nullptr;
    HWND m_lblValue = nullptr;
    EditTextBox m_previewName;
    EditTextBox m_previewValue;
    HWND m_lblKeyName = nullptr;
    HWND m_lblKeyValue = nullptr;

    UniqueFont m_uiFont;
    UniqueFont m_logFont;
    UniqueBrush m_whiteBrush;
    COLORREF m_logBackground = 0;
};

} // namespace mirufon::win32
