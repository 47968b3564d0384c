#include "platform/win32/FileConfStore.h"

#include "platform/win32/Handles.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/TextCodec.h"

#include <string>
#include <utility>

namespace mirufon::win32
{
namespace
{

bool IsOrdinaryFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
    {
        return false;
    }
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & kNotOrdinary) == 0;
}

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

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size())
    {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
        DWORD done = 0;
        if (!::WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0)
        {
            return false;
        }
        written += done;
    }
    return true;
}

} // namespace

FileConfStore::FileConfStore(std::wstring path) : m_path(std::move(path))
{
}

std::optional<std::wstring> FileConfStore::Read()
{
    // Only one instance runs: a temporary file found now is what a save killed before the
    // replacement left behind, and Conf.txt itself is still the last complete save.
    ::DeleteFileW(TemporaryPath().c_str());
    if (!IsOrdinaryFile(m_path))
    {
        return std::nullopt;
    }
    UniqueFile file(::CreateFileW(m_path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
    {
        // It exists but cannot be opened: start with the values read so far, which is none.
        return std::wstring();
    }
    std::string bytes;
    char buffer[64 * 1024];
    for (;;)
    {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) || read == 0)
        {
            break; // end of file, or a read error: keep what was read
        }
        bytes.append(buffer, read);
    }
    // A read that failed in the middle of a double-byte character leaves a lone lead byte;
    // the conversion turns it into the default character, which no key contains.
    m_encoding = DetectConfEncoding(bytes);
    return DecodeText(bytes, m_encoding);
}

StoreWrite FileConfStore::Write(std::wstring_view text)
{
    // Write beside the file, then replace it: a failure at any point leaves the old file whole.
    const std::wstring temporary = TemporaryPath();
    const std::string bytes = EncodeText(text, m_encoding);
    const auto failed = [&temporary](DWORD error)
    {
        ::DeleteFileW(temporary.c_str());
        return StoreWrite{false, SystemMessage(error)};
    };
    {
        UniqueFile file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
        {
            return StoreWrite{false, SystemMessage(::GetLastError())};
        }
        if (!WriteAll(file.Get(), bytes) || !::FlushFileBuffers(file.Get()))
        {
            const DWORD error = ::GetLastError();
            file.Reset();
            return failed(error);
        }
    }
    if (!::MoveFileExW(temporary.c_str(), m_path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        return failed(::GetLastError());
    }
    return StoreWrite{true, {}};
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

} // namespace mirufon::win32
