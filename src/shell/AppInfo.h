#pragma once

#include "MirufonVersion.h"

#include <string>
#include <string_view>

namespace mirufon
{

// The program's version, from the project version: file version 0.2.0.7 gives 0, 2 and 7 (the
// third component is not shown).
constexpr int kVersionMajor = MIRUFON_VERSION_MAJOR;
constexpr int kVersionMinor = MIRUFON_VERSION_MINOR;
constexpr int kVersionRevision = MIRUFON_VERSION_REVISION;

// "Ver" + major + "." + minor + revision, plain decimals; minor and revision are written
// side by side without a separator (0, 2, 7 gives "Ver0.27").
std::wstring GetVersionText(int major, int minor, int revision);
std::wstring GetVersionText();

// The application title: the program's name, a space and the version text.
std::wstring GetAppTitle(int major, int minor, int revision);
std::wstring GetAppTitle();

// The version line of the tray menu: executable base name, a space, the version text, two
// spaces and the company name from the version information.
std::wstring VersionMenuText(std::wstring_view exeBaseName, std::wstring_view companyName);

// The text shown when another instance is already running.
std::wstring AlreadyRunningText(std::wstring_view exeBaseName);

// The text shown when the program cannot start (its window or a control of it could not be
// created): the sentence and, on the next line, the system's description of why, if any.
std::wstring StartFailedText(std::wstring_view systemMessage);

} // namespace mirufon
