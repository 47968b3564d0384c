#include "platform/win32/system/RunAtLogon.h"

#include "shell/LogonCommand.h"

#include <optional>
#include <utility>

namespace mirufon::win32
{
namespace
{

void CloseRegistryKey(HKEY key)
{
    ::RegCloseKey(key);
}
using UniqueRegistryKey = UniqueHandle<NullIsEmpty<HKEY, CloseRegistryKey>>;

// The value's text, with environment strings expanded as Windows expands them when it runs
// the command; nothing when there is no such string value. Asking for strings alone takes an
// expandable string too, expanded (asking for expandable strings would refuse to expand them).
std::optional<std::wstring> ReadCommand(const std::wstring& keyPath)
{
    constexpr DWORD kStrings = RRF_RT_REG_SZ;
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        DWORD bytes = 0;
        if (::RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), kLogonValueName, kStrings, nullptr,
                           nullptr, &bytes) != ERROR_SUCCESS)
        {
            return std::nullopt;
        }
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS read = ::RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), kLogonValueName,
                                            kStrings, nullptr, text.data(), &bytes);
        if (read == ERROR_SUCCESS)
        {
            text.resize(text.find(L'\0'));
            return text;
        }
        if (read != ERROR_MORE_DATA)
        {
            return std::nullopt;
        }
        // The value grew between the two reads: ask its size again.
    }
    return std::nullopt;
}

// A file's identity on its volume, for files that have one; nothing for a path that names no
// file, or a volume that gives no index.
std::optional<std::pair<DWORD, ULONGLONG>> FileIdentity(const std::wstring& path)
{
    const UniqueFile file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        return std::nullopt;
    }
    const ULONGLONG index = (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    if (index == 0)
    {
        return std::nullopt;
    }
    return std::pair{info.dwVolumeSerialNumber, index};
}

bool SamePathText(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

RunAtLogon::RunAtLogon(std::wstring programPath, std::wstring keyPath)
    : m_programPath(std::move(programPath)), m_keyPath(std::move(keyPath))
{
}

// The file Windows would start is the first the command names that exists; it is this program
// when it is the same file, whatever path leads to it (another case, a short name).
bool RunAtLogon::NamesThisProgram() const
{
    const std::optional<std::wstring> command = ReadCommand(m_keyPath);
    if (!command)
    {
        return false;
    }
    for (const std::wstring& program : ProgramsNamedBy(*command))
    {
        if (!IsFile(program))
        {
            continue;
        }
        if (SamePathText(program, m_programPath))
        {
            return true;
        }
        const auto identity = FileIdentity(program);
        return identity && identity == FileIdentity(m_programPath);
    }
    return false;
}

LSTATUS RunAtLogon::Set(bool on) const
{
    HKEY opened = nullptr;
    if (!on)
    {
        const LSTATUS open =
            ::RegOpenKeyExW(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, KEY_SET_VALUE, &opened);
        const UniqueRegistryKey key(opened);
        if (open != ERROR_SUCCESS)
        {
            return open == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : open;
        }
        const LSTATUS removed = ::RegDeleteValueW(key.Get(), kLogonValueName);
        return removed == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : removed;
    }
    const LSTATUS create =
        ::RegCreateKeyExW(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, &opened, nullptr);
    const UniqueRegistryKey key(opened);
    if (create != ERROR_SUCCESS)
    {
        return create;
    }
    const std::wstring command = LogonCommandFor(m_programPath);
    return ::RegSetValueExW(key.Get(), kLogonValueName, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

} // namespace mirufon::win32
