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
// Whether a new file can be created in the folder. The probe file goes as soon as it is closed.
bool CanCreateFilesIn(const std::wstring& folder);

// Where the program keeps its files.
struct StorageLocations
{
    // Conf.txt, read at start and written at exit.
    std::wstring conf;
    // The Conf.txt read in its place as long as it does not exist; empty for none.
    std::wstring confStartingPoint;
    // The journal's folder; empty when there is none (the journal is then off).
    std::wstring journalFolder;
    // Where earlier versions kept the journal: beside the program.
    std::wstring earlierJournalFolder;
};

// Where the running program keeps its files. Conf.txt stays beside the program, which is portable
// that way, unless the program's folder cannot be written (under Program Files, say): then it lives
// in %LOCALAPPDATA%\Mirufon, and the one beside the program is only its starting point. The journal
// always lives in %LOCALAPPDATA%\Mirufon\Journal: it holds everything captured and copied, and
// beside the program it may sit in a folder that a sync client uploads at every write. Without a
// local application data folder, Conf.txt stays beside the program and there is no journal.
StorageLocations LocateOwnStorage();

} // namespace mirufon::win32
