#pragma once

// The program's title as the tests expect it: the version is the project's, passed in by the
// build from CMakeLists.txt (MIRUFON_PROJECT_VERSION, "major.minor.patch.revision"), shown the
// way the program shows a version, so that a new version changes no test.

#include "shell/AppInfo.h"

#include <cstdio>
#include <string>

namespace testsupport
{

struct ProjectVersion
{
    int major = -1;
    int minor = -1;
    int patch = -1;
    int revision = -1;
};

inline ProjectVersion ProjectVersionParts()
{
    ProjectVersion version;
    std::sscanf(MIRUFON_PROJECT_VERSION, "%d.%d.%d.%d", &version.major, &version.minor,
                &version.patch, &version.revision);
    return version;
}

inline std::wstring ExpectedVersionText()
{
    const ProjectVersion version = ProjectVersionParts();
    return mirufon::GetVersionText(version.major, version.minor, version.revision);
}

inline std::wstring ExpectedTitle()
{
    const ProjectVersion version = ProjectVersionParts();
    return mirufon::GetAppTitle(version.major, version.minor, version.revision);
}

} // namespace testsupport
