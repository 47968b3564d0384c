#pragma once

#include <string>

namespace mirufon::win32
{

// What the executable's version resource records.
struct VersionInfo
{
    int major = 0;
    int minor = 0;
    int revision = 0;
    std::wstring companyName;
};

// Read from the running executable; the program's built-in version and an empty company when
// the resource cannot be read.
VersionInfo ReadOwnVersionInfo();

} // namespace mirufon::win32
