#include "platform/win32/storage/ProgramFolders.h"

#include "platform/win32/window/Handles.h"

#include <shlobj.h>

namespace mirufon::win32
{
namespace
{

constexpr wchar_t kConfName[] = L"Conf.txt";

std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;)
    {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
        {
            return {};
        }
        if (length < path.size())
        {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// %LOCALAPPDATA%, or the system's local application data folder when it is not set.
std::wstring LocalAppDataFolder()
{
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (length > 1)
    {
        std::wstring value(length, L'\0');
        value.resize(::GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), length));
        return value;
    }
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)))
    {
        folder = known;
    }
    ::CoTaskMemFree(known);
    return folder;
}

// Where the files go for a program folder that can or cannot be written; localAppData is empty
// when the system has no local application data folder.
StorageLocations LocateStorage(const std::wstring& programFolder, bool programFolderWritable,
                               const std::wstring& localAppData)
{
    StorageLocations locations;
    locations.conf = programFolder + L"\\" + kConfName;
    locations.earlierJournalFolder = programFolder + L"\\Journal";
    if (localAppData.empty())
    {
        return locations;
    }
    const std::wstring ours = localAppData + L"\\Mirufon";
    locations.journalFolder = ours + L"\\Journal";
    if (!programFolderWritable)
    {
        locations.confStartingPoint = locations.conf;
        locations.conf = ours + L"\\" + kConfName;
    }
    return locations;
}

} // namespace

std::wstring ExecutablePath()
{
    return ModulePath();
}

std::wstring ExecutableDirectory()
{
    std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ExecutableBaseName()
{
    std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

bool CanCreateFilesIn(const std::wstring& folder)
{
    const std::wstring probe = folder + L"\\mirufon-write.probe";
    const UniqueFile file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                        nullptr));
    return static_cast<bool>(file);
}

StorageLocations LocateOwnStorage()
{
    const std::wstring programFolder = ExecutableDirectory();
    return LocateStorage(programFolder, CanCreateFilesIn(programFolder), LocalAppDataFolder());
}

} // namespace mirufon::win32
