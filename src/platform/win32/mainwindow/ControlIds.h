#pragma once

// Window class names, control ids and menu command ids of the program's windows. The
// end-to-end driver finds windows, controls and menu items by these.
namespace mirufon::win32
{

inline constexpr wchar_t kMainWindowClass[] = L"MirufonMainWindow";
inline constexpr wchar_t kMessageWindowClass[] = L"MirufonMessage";
inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\Mirufon.SingleInstance.7E1D2C44";
// The help page beside the executable, in Japanese and in English.
inline constexpr wchar_t kHelpPageName[] = L"mirufon-help.html";
inline constexpr wchar_t kEnglishHelpPageName[] = L"mirufon-help-en.html";

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
    // The menu bar.
    kMenuRunState = 200,
    kMenuAlwaysOnTop = 201,
    kMenuClear = 202,
    kMenuSettings = 203,
    kMenuHelp = 204,
    kMenuHotKeyHelp = 205,
    // The tray icon's pop-up menu.
    kMenuTraySettings = 210,
    kMenuTrayShow = 211,
    kMenuLeaveTray = 212,
    kMenuTrayClear = 213,
    kMenuTrayHelp = 214,
    kMenuVersionLine = 215,
    kMenuQuit = 216,
    // Ctrl+S and the log's context menu.
    kMenuSaveLog = 220,
    // Ctrl+F and the log's context menu; F3 and Shift+F3.
    kMenuFind = 221,
    kMenuFindNext = 222,
    kMenuFindPrevious = 223,
};

} // namespace mirufon::win32
