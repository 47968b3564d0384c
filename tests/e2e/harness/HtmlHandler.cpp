#include "e2e/harness/HtmlHandler.h"

namespace e2e
{
namespace
{

std::optional<std::wstring> GetDefault(const wchar_t* path)
{
    wchar_t value[256] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, path, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
    {
        return std::nullopt;
    }
    return std::wstring(value);
}

void SetDefault(const wchar_t* path, const std::wstring& value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) == ERROR_SUCCESS)
    {
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
}

} // namespace

std::optional<std::string> HtmlOpenedByUsersChoice()
{
    HKEY choice = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.html\\"
                        L"UserChoice",
                        0, KEY_READ, &choice) != ERROR_SUCCESS)
    {
        return std::nullopt;
    }
    ::RegCloseKey(choice);
    return "this Windows opens .html files with the browser its user chose, which no test handler "
           "can stand in for";
}

HtmlHandlerOverride::HtmlHandlerOverride(const std::wstring& copyTo)
{
    m_previous = GetDefault(L".html");
    const std::wstring command = L"cmd.exe /c copy \"%1\" \"" + copyTo + L"\"";
    SetDefault(L".html", L"MirufonE2eHtml");
    SetDefault(L"MirufonE2eHtml\\shell\\open\\command", command);
}

HtmlHandlerOverride::~HtmlHandlerOverride()
{
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"MirufonE2eHtml");
    if (m_previous)
    {
        SetDefault(L".html", *m_previous);
    }
}

} // namespace e2e
