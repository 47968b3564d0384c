#include "platform/win32/Utf8File.h"

#include <algorithm>
#include <climits>

namespace mirufon::win32
{
namespace
{

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
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

std::string Utf8WithBom(std::wstring_view text)
{
    std::string bytes(kByteOrderMark);
    if (text.empty() || text.size() > INT_MAX / 3)
    {
        return bytes;
    }
    const int size = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
    {
        return bytes;
    }
    bytes.resize(kByteOrderMark.size() + static_cast<std::size_t>(needed));
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data() + kByteOrderMark.size(),
                          needed, nullptr, nullptr);
    return bytes;
}

std::wstring FromUtf8(std::string_view bytes)
{
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    if (bytes.empty() || bytes.size() > INT_MAX)
    {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
    if (needed <= 0)
    {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, text.data(), needed);
    return text;
}

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
