// The commands of the main window's menus, its tray menu and its shortcuts.

#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/mainwindow/MainWindow.h"

namespace mirufon::win32
{

void MainWindow::OnCommand(int id)
{
    switch (id)
    {
    case kMenuRunState:
        m_controller->ToggleRunState();
        break;
    case kMenuAlwaysOnTop:
        m_controller->ToggleAlwaysOnTop();
        break;
    case kMenuClear:
    case kMenuTrayClear:
        m_controller->ClearAll();
        break;
    case kMenuHelp:
    case kMenuTrayHelp:
        OpenHelpPage();
        break;
    case kMenuHotKeyHelp:
        m_controller->ShowHotKeyHelp();
        break;
    case kMenuSettings:
    case kMenuTraySettings:
        m_controller->OpenSettings();
        break;
    case kMenuTrayShow:
        m_controller->ShowFromTray();
        break;
    case kMenuLeaveTray:
        m_controller->LeaveTray();
        break;
    case kMenuQuit:
        m_controller->Quit();
        break;
    case kMenuSaveLog:
        m_controller->SaveLog();
        break;
    case kMenuFind:
        OpenFindDialog();
        break;
    case kMenuFindNext:
        FindAgain(SearchDirection::Down);
        break;
    case kMenuFindPrevious:
        FindAgain(SearchDirection::Up);
        break;
    default:
        break;
    }
}

} // namespace mirufon::win32
