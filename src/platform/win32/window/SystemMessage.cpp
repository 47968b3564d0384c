#include "platform/win32/window/SystemMessage.h"

#include "platform/win32/storage/TextCodec.h"

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

namespace
{

void ReportLine(std::wstring_view what, std::wstring_view reason)
{
    std::wstring line = L"mirufon: ";
    line += what;
    line += L": ";
    line += reason;
    line += L"\n";
    ::OutputDebugStringW(line.c_str());
}

} // namespace

void ReportFailure(std::wstring_view what, DWORD error)
{
    ReportLine(what, std::to_wstring(error) + L" " + SystemMessage(error));
}

std::wstring ExceptionMessage(const std::exception& error)
{
    // The C++ library describes its errors in the ANSI code page.
    return AnsiToWide(error.what());
}

void ReportCurrentException(std::wstring_view what) noexcept
{
    try
    {
        try
        {
            throw;
        }
        catch (const std::exception& error)
        {
            ReportLine(what, ExceptionMessage(error));
        }
    }
    catch (...)
    {
        // Not a std::exception, or no memory to describe it.
        ::OutputDebugStringW(L"mirufon: a failure that cannot be described\n");
    }
}

} // namespace mirufon::win32
