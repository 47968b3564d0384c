#pragma once

// The program's title as the tests expect it, with the version from the header the build
// writes (project(VERSION) in CMakeLists.txt), so that a new version changes no test.

#include "MirufonVersion.h"

#include <string>

namespace testsupport
{

// "Ver" + major + "." + minor and revision run together: 0.2.0.7 shows as "Ver0.27".
inline std::wstring ExpectedVersionText()
{
    return L"Ver" + std::to_wstring(MIRUFON_VERSION_MAJOR) + L"." +
           std::to_wstring(MIRUFON_VERSION_MINOR) + std::to_wstring(MIRUFON_VERSION_REVISION);
}

inline std::wstring ExpectedTitle()
{
    return L"ミルフォン " + ExpectedVersionText();
}

} // namespace testsupport
