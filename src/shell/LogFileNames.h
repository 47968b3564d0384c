#pragma once

#include "platform/LogFiles.h"

#include <string>
#include <string_view>

namespace mirufon
{

// The name suggested for a saved log: mirufon-YYYYMMDD-HHMMSS.txt.
std::wstring SavedLogName(const LocalTime& time);
// The name a journal left by an earlier run is kept under when the user does not restore it:
// mirufon-journal-YYYYMMDD-HHMMSS.txt.
std::wstring SetAsideJournalName(const LocalTime& time);
// The folder part of a path, without the separator after it (a drive's root keeps its own).
std::wstring FolderOf(std::wstring_view path);

} // namespace mirufon
