#pragma once

#include "platform/win32/window/Handles.h"

#include <string>

namespace mirufon::win32
{

// Where Windows keeps the programs it starts for the user at logon (below HKEY_CURRENT_USER),
// and the name of the program's value there.
inline constexpr wchar_t kLogonRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kLogonValueName[] = L"Mirufon";

// The program's entry among the programs Windows starts at the user's logon: one string value,
// the program's full path in quotes. It is the only thing the program ever writes to the
// registry, and only when the user asks.
class RunAtLogon
{
  public:
    // The entry for the program file at programPath, under keyPath below HKEY_CURRENT_USER.
    explicit RunAtLogon(std::wstring programPath, std::wstring keyPath = kLogonRunKey);

    // Whether the value names this program's own file. A value naming another file (the
    // program's folder was moved, or another copy was registered) does not, nor one that names
    // no file that exists.
    bool NamesThisProgram() const;

    // Writes the value (on), or removes it (a value that is not there counts as removed).
    // ERROR_SUCCESS, or the system's error number.
    LSTATUS Set(bool on) const;

  private:
    std::wstring m_programPath;
    std::wstring m_keyPath;
};

} // namespace mirufon::win32
