#pragma once

#include <string>

namespace mirufon::win32
{

// The running executable's full path.
std::wstring ExecutablePath();
// The folder of the running executable, without a trailing separator.
std::wstring ExecutableDirectory();
// The executable's file name without folder and extension.
std::wstring ExecutableBaseName();
// Conf.txt beside the executable.
std::wstring ConfPathBesideExecutable();
// %LOCALAPPDATA%, or the system's local application data folder when it is not set.
std::wstring LocalAppDataFolder();

} // namespace mirufon::win32
