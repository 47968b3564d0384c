#pragma once

// Window class names and control ids of the program's windows. The end-to-end driver finds
// the windows and controls by these.
namespace mirufon::win32
{

inline constexpr wchar_t kMainWindowClass[] = L"MirufonMainWindow";
inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\Mirufon.SingleInstance.7E1D2C44";

enum ControlId : int
{
    kIdLog = 100,
    kIdPreviewName = 101,
    kIdPreviewValue = 102,
    kIdKeyName = 103,
    kIdKeyValue = 104,
};

} // namespace mirufon::win32
