#include "platform/win32/window/VersionInfo.h"

#include "platform/win32/window/Handles.h"
#include "shell/AppInfo.h"

#include <vector>

namespace mirufon::win32
{
namespace
{

using GetSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

template <typename Function> Function Procedure(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

VersionInfo ReadOwnVersionInfo()
{
    VersionInfo info{kVersionMajor, kVersionMinor, kVersionRevision, {}};
    // version.dll is not one of the system's known DLLs: load it from the system folder by
    // name, never from the executable's folder.
    UniqueModule library(::LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!library)
    {
        return info;
    }
    const auto getSize = Procedure<GetSizeFn>(library.Get(), "GetFileVersionInfoSizeW");
    const auto getInfo = Procedure<GetInfoFn>(library.Get(), "GetFileVersionInfoW");
    const auto query = Procedure<QueryFn>(library.Get(), "VerQueryValueW");
    if (!getSize || !getInfo || !query)
    {
        return info;
    }
    wchar_t path[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    DWORD ignored = 0;
    const DWORD size = getSize(path, &ignored);
    if (size == 0)
    {
        return info;
    }
    std::vector<unsigned char> block(size);
    if (!getInfo(path, 0, size, block.data()))
    {
        return info;
    }
    void* value = nullptr;
    UINT length = 0;
    if (query(block.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO))
    {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        info.major = HIWORD(fixed->dwFileVersionMS);
        info.minor = LOWORD(fixed->dwFileVersionMS);
        info.revision = LOWORD(fixed->dwFileVersionLS);
    }
    struct Translation
    {
        WORD language;
        WORD codePage;
    };
    if (query(block.data(), L"\\VarFileInfo\\Translation", &value, &length) &&
        length >= sizeof(Translation))
    {
        const auto* translation = static_cast<const Translation*>(value);
        wchar_t key[64];
        ::wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\CompanyName", translation->language,
                    translation->codePage);
        if (query(block.data(), key, &value, &length) && length > 0)
        {
            info.companyName = static_cast<const wchar_t*>(value);
        }
    }
    return info;
}

} // namespace mirufon::win32
