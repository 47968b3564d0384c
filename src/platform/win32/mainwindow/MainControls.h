#pragma once

#include "capture/CaptureLog.h"
#include "hotkeys/KeyTexts.h"
#include "platform/win32/mainwindow/Win32TextBox.h"
#include "platform/win32/window/ControlSubclass.h"
#include "platform/win32/window/Handles.h"
#include "shell/Layout.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace mirufon::win32
{

// The controls of the main window and how they look: the preview band (captions, coloured
// strips and the two preview boxes), the key labels, the log in its frame; their fonts,
// colours, painting and placement at the window's scaling.
class MainControls
{
  public:
    // Drawn at the given scale until SetDpi changes it.
    MainControls(HINSTANCE instance, int dotsPerInch);
    MainControls(const MainControls&) = delete;
    MainControls& operator=(const MainControls&) = delete;

    // Creates the controls in the window; onSelectAll runs on Ctrl+A in the log (the key
    // still reaches the log), onContextMenu on the log's WM_CONTEXTMENU (with its lParam) in
    // place of the box's own menu. False when a control could not be created (nor those after
    // it), with the system's error number for it in error (0 when the system gave none): the
    // window is then of no use.
    [[nodiscard]] bool Create(HWND window, std::function<void()> onSelectAll,
                              std::function<void(LPARAM)> onContextMenu, DWORD& error);

    Win32TextBox& Log() { return m_log; }
    Win32TextBox& NameBox() { return m_nameBox; }
    Win32TextBox& ValueBox() { return m_valueBox; }

    std::int32_t TwipsPerPixel() const { return m_twipsPerPixel; }
    int Dpi() const { return m_dpi; }
    // A new scaling (the window moved to another monitor): twips per pixel and fonts.
    void SetDpi(int dotsPerInch);

    void ShowKeyLabels(const KeyLabels& labels);
    // The background of the log and its frame: the tooltip colour while running, light grey
    // while stopped.
    void ShowRunState(bool running);

    // Places every control for the window's client size.
    void LayOut();
    void Paint();
    // WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC.
    HBRUSH ControlColours(HDC dc, HWND control);

  private:
    void ApplyFonts();
    RECT ToPixelRect(const ControlRect& rect) const;
    RECT ToPixelRect(const ControlRect& container, const ControlRect& control) const;

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    int m_dpi = 96;
    std::int32_t m_twipsPerPixel = kDefaultTwipsPerPixel;
    MainLayout m_layout;

    Win32TextBox m_log;
    Win32TextBox m_nameBox;
    Win32TextBox m_valueBox;
    HWND m_nameCaption = nullptr;
    HWND m_valueCaption = nullptr;
    HWND m_nameKeyLabel = nullptr;
    HWND m_valueKeyLabel = nullptr;
    std::unique_ptr<ControlSubclass> m_logKeys;

    UniqueFont m_uiFont;
    UniqueFont m_logFont;
    UniqueBrush m_whiteBrush;
    COLORREF m_logBackground = 0;
};

} // namespace mirufon::win32
