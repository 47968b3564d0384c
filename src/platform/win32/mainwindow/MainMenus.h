#pragma once

#include "platform/win32/window/Handles.h"

#include <string>

namespace mirufon::win32
{

// The main window's menu bar (停止 | 表示 | クリア | 設定 | ヘルプ | ？ホットキー) and the tray
// icon's pop-up menu, with the captions and the check mark they show.
class MainMenus
{
  public:
    MainMenus() = default;
    MainMenus(const MainMenus&) = delete;
    MainMenus& operator=(const MainMenus&) = delete;

    // Builds both menus and gives the window its menu bar, which the window then owns.
    void Create(HWND window);

    // "停止" while capture runs, "再開" while it is stopped.
    void ShowRunState(bool running);
    void ShowAlwaysOnTopCheck(bool checked);
    void SetVersionLine(const std::wstring& text);
    // The pop-up menu at the pointer; returns when it has closed.
    void ShowTrayMenu();

  private:
    HWND m_window = nullptr;
    HMENU m_menuBar = nullptr; // owned by the window once set
    UniqueMenu m_trayMenu;
};

} // namespace mirufon::win32
