#include "platform/win32/storage/ProgramFolders.h"

#include "platform/win32/window/Handles.h"

#include <shlobj.h>

namespace mirufon::win32
{
namespace
{

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

std::wstring ConfPathBesideExecutable()
{
    return ExecutableDirectory() + L"\\" + L"Conf.txt";
}

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

} // namespace mirufon::win32
