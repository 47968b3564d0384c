#include "platform/win32/storage/FileContents.h"

#include <algorithm>

namespace mirufon::win32
{
namespace
{

// Each WriteFile call writes at most this much.
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;

// The pauses between tries of a move while another program holds the file: the first, and the
// longest the doubling reaches.
constexpr std::chrono::milliseconds kFirstPause{20};
constexpr std::chrono::milliseconds kLongestPause{200};

bool IsHeldByAnotherProgram(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

DWORD MovePatiently(const std::wstring& from, const std::wstring& to,
                    std::chrono::milliseconds patience, const MoveFunction& move)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + patience;
    for (auto pause = kFirstPause;; pause = std::min(pause * 2, kLongestPause))
    {
        const DWORD error = move(from, to);
        const Clock::time_point now = Clock::now();
        if (!IsHeldByAnotherProgram(error) || now >= deadline)
        {
            return error;
        }
        // Whole milliseconds, rounded up: a pause of less than one would not wait at all.
        const auto wait = std::min<Clock::duration>(pause, deadline - now);
        ::Sleep(static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
    }
}

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

DWORD MoveOver(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? ERROR_SUCCESS
               : ::GetLastError();
}

DWORD ReplaceFileWith(const std::wstring& path, const std::wstring& temporary,
                      std::string_view bytes, std::chrono::milliseconds patience,
                      const MoveFunction& move)
{
    DWORD error = WriteNewFile(temporary, bytes);
    if (error == ERROR_SUCCESS)
    {
        error = MovePatiently(temporary, path, patience, move);
    }
    if (error != ERROR_SUCCESS)
    {
        ::DeleteFileW(temporary.c_str());
    }
    return error;
}

} // namespace mirufon::win32
