#pragma once

// Window class names, control ids and menu command ids of the program's windows. The
// end-to-end driver finds windows, controls and menu items by these.
namespace mirufon::win32
{

inline constexpr wchar_t kMainWindowClass[] = L"MirufonMainWindow";
inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\Mirufon.SingleInstance.7E1D2C44";
inline constexpr wchar_t kHelpPageName[] = L"mirufon-help.html";

enum ControlId : int
{
    kIdLog = 100,
    kIdPreviewName = 101,
    kIdPreviewValue = 102,
    kIdKeyName = 103,
    kIdKeyValue = 104,
    kIdLabelName = 105,
    kIdLabelValue = 106,
};

enum MenuId : int
{
    kMenuGo = 200,
    kMenuDispTop = 201,
    kMenuClear = 202,
    kMenuSetting = 203,
    kMenuHelp = 204,
    kMenuHelpHotKey = 205,
    // The tray pop-up menu.
    kMenuDisp2 = 210,
    kMenuShowPopup = 211,
    kMenuTrayOut = 212,
    kMenuPopupClear = 213,
    kMenuHelp2 = 214,
    kMenuVerNo = 215,
    kMenuEnd2 = 216,
};

} // namespace mirufon::win32
