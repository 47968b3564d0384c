#include "platform/win32/SystemMessage.h"

namespace mirufon::win32
{

std::wstring SystemMessage(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer)
    {
        ::LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    {
        text.pop_back();
    }
    return text;
}

void ReportFailure(std::wstring_view what, DWORD error)
{
    std::wstring line = L"mirufon: ";
    line += what;
    line += L": ";
    line += std::to_wstring(error);
    line += L" ";
    line += SystemMessage(error);
    line += L"\n";
    ::OutputDebugStringW(line.c_str());
}

void ReportException(std::wstring_view what, const std::exception& error)
{
    std::wstring line = L"mirufon: ";
    line += what;
    line += L": ";
    for (const char* c = error.what(); *c; ++c)
    {
        // The library's descriptions are ASCII.
        line += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    line += L"\n";
    ::OutputDebugStringW(line.c_str());
}

} // namespace mirufon::win32
