#include "platform/win32/mainwindow/MainMenus.h"

#include "platform/win32/mainwindow/ControlIds.h"

namespace mirufon::win32
{
namespace
{

constexpr wchar_t kRunningCaption[] = L"停止";
constexpr wchar_t kStoppedCaption[] = L"再開";

void SetItemText(HMENU menu, UINT id, const wchar_t* text)
{
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<wchar_t*>(text);
    ::SetMenuItemInfoW(menu, id, FALSE, &item);
}

} // namespace

void MainMenus::Create(HWND window)
{
    m_window = window;
    HMENU display = ::CreatePopupMenu();
    ::AppendMenuW(display, MF_STRING, kMenuAlwaysOnTop, L"最前面表示");

    m_menuBar = ::CreateMenu();
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuRunState, kRunningCaption);
    ::AppendMenuW(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(display), L"表示");
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuClear, L"クリア");
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuSettings, L"設定");
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuHelp, L"ヘルプ");
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuHotKeyHelp, L"？ホットキー");
    ::SetMenu(window, m_menuBar);

    // The tray icon's pop-up menu: never in the menu bar.
    HMENU version = ::CreatePopupMenu();
    ::AppendMenuW(version, MF_STRING, kMenuVersionLine, L"バージョン");
    m_trayMenu.Reset(::CreatePopupMenu());
    HMENU tray = m_trayMenu.Get();
    ::AppendMenuW(tray, MF_STRING, kMenuTraySettings, L"設定");
    ::AppendMenuW(tray, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(tray, MF_STRING, kMenuTrayShow, L"表示");
    ::AppendMenuW(tray, MF_STRING, kMenuLeaveTray, L"トレイから出す");
    ::AppendMenuW(tray, MF_STRING, kMenuTrayClear, L"クリア");
    ::AppendMenuW(tray, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(tray, MF_STRING, kMenuTrayHelp, L"ヘルプ");
    ::AppendMenuW(tray, MF_POPUP, reinterpret_cast<UINT_PTR>(version), L"バージョン");
    ::AppendMenuW(tray, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(tray, MF_STRING, kMenuQuit, L"終了");
}

void MainMenus::ShowRunState(bool running)
{
    SetItemText(m_menuBar, kMenuRunState, running ? kRunningCaption : kStoppedCaption);
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
