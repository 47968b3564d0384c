#include "platform/win32/mainwindow/MainMenus.h"

#include "platform/win32/mainwindow/ControlIds.h"
#include "text/UiText.h"

namespace mirufon::win32
{
namespace
{

void SetItemText(HMENU menu, UINT id, std::wstring caption)
{
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = caption.data();
    ::SetMenuItemInfoW(menu, id, FALSE, &item);
}

void Append(HMENU menu, UINT flags, UINT_PTR id, UiText text)
{
    ::AppendMenuW(menu, flags, id, std::wstring(Text(text)).c_str());
}

} // namespace

void MainMenus::Create(HWND window)
{
    m_window = window;
    HMENU display = ::CreatePopupMenu();
    Append(display, MF_STRING, kMenuAlwaysOnTop, UiText::MenuAlwaysOnTop);

    m_menuBar = ::CreateMenu();
    Append(m_menuBar, MF_STRING, kMenuRunState, UiText::MenuStop);
    Append(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(display), UiText::MenuView);
    Append(m_menuBar, MF_STRING, kMenuClear, UiText::MenuClear);
    Append(m_menuBar, MF_STRING, kMenuSettings, UiText::MenuSettings);
    Append(m_menuBar, MF_STRING, kMenuHelp, UiText::MenuHelp);
    Append(m_menuBar, MF_STRING, kMenuHotKeyHelp, UiText::MenuHotKeys);
    ::SetMenu(window, m_menuBar);

    // The tray icon's pop-up menu: never in the menu bar.
    HMENU version = ::CreatePopupMenu();
    Append(version, MF_STRING, kMenuVersionLine, UiText::MenuVersion);
    m_trayMenu.Reset(::CreatePopupMenu());
    HMENU tray = m_trayMenu.Get();
    Append(tray, MF_STRING, kMenuTraySettings, UiText::MenuSettings);
    ::AppendMenuW(tray, MF_SEPARATOR, 0, nullptr);
    Append(tray, MF_STRING, kMenuTrayShow, UiText::MenuShow);
    Append(tray, MF_STRING, kMenuLeaveTray, UiText::MenuLeaveTray);
    Append(tray, MF_STRING, kMenuTrayClear, UiText::MenuClear);
    ::AppendMenuW(tray, MF_SEPARATOR, 0, nullptr);
    Append(tray, MF_STRING, kMenuTrayHelp, UiText::MenuHelp);
    Append(tray, MF_POPUP, reinterpret_cast<UINT_PTR>(version), UiText::MenuVersion);
    ::AppendMenuW(tray, MF_SEPARATOR, 0, nullptr);
    Append(tray, MF_STRING, kMenuQuit, UiText::MenuQuit);
}

void MainMenus::ShowRunState(bool running)
{
    SetItemText(m_menuBar, kMenuRunState,
                std::wstring(Text(running ? UiText::MenuStop : UiText::MenuResume)));
    ::DrawMenuBar(m_window);
}

void MainMenus::ShowAlwaysOnTopCheck(bool checked)
{
    ::CheckMenuItem(m_menuBar, kMenuAlwaysOnTop,
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainMenus::SetVersionLine(const std::wstring& text)
{
    SetItemText(m_trayMenu.Get(), kMenuVersionLine, text.c_str());
}

void MainMenus::ShowTrayMenu()
{
    // The window must be in front for the menu to close when the user clicks elsewhere.
    ::SetForegroundWindow(m_window);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    ::TrackPopupMenu(m_trayMenu.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pointer.x, pointer.y, 0,
                     m_window, nullptr);
    ::PostMessageW(m_window, WM_NULL, 0, 0);
}

} // namespace mirufon::win32
