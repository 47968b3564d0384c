#include "platform/win32/storage/FileContents.h"

#include <algorithm>

namespace mirufon::win32
{
namespace
{

// Each WriteFile call writes at most this much.
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;

DWORD WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kWriteChunk));
        DWORD done = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &done, nullptr))
        {
            return ::GetLastError();
        }
        if (done == 0)
        {
            return ERROR_WRITE_FAULT;
        }
        bytes.remove_prefix(done);
    }
    return ERROR_SUCCESS;
}

DWORD WriteNewFile(const std::wstring& path, std::string_view bytes)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
    {
        return ::GetLastError();
    }
    if (const DWORD error = WriteAll(file.Get(), bytes); error != ERROR_SUCCESS)
    {
        return error;
    }
    return ::FlushFileBuffers(file.Get()) ? ERROR_SUCCESS : ::GetLastError();
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::wstring& path)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
    {
        return std::nullopt;
    }
    std::string bytes;
    std::string buffer(64 * 1024, '\0');
    for (;;)
    {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                        nullptr))
        {
            return std::nullopt;
        }
        if (read == 0)
        {
            return bytes;
        }
        bytes.append(buffer.data(), read);
    }
}

DWORD ReplaceFileWith(const std::wstring& path, const std::wstring& temporary,
                      std::string_view bytes)
{
    DWORD error = WriteNewFile(temporary, bytes);
    if (error == ERROR_SUCCESS &&
        !::MoveFileExW(temporary.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        error = ::GetLastError();
    }
    if (error != ERROR_SUCCESS)
    {
        ::DeleteFileW(temporary.c_str());
    }
    return error;
}

} // namespace mirufon::win32
