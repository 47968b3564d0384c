#include "platform/win32/storage/Win32LogFiles.h"

#include "platform/win32/storage/FileContents.h"
#include "platform/win32/storage/TextCodec.h"
#include "platform/win32/window/SystemMessage.h"

namespace mirufon::win32
{

LocalTime Win32LogFiles::Now() const
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

StoreWrite Win32LogFiles::Save(const std::wstring& path, std::wstring_view text)
{
    // In the target's folder, so that the move is a rename; named after this process, so that
    // it is nobody else's file.
    const std::wstring temporary = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    const DWORD error = ReplaceFileWith(path, temporary, Utf8WithBom(text));
    if (error != ERROR_SUCCESS)
    {
        const std::wstring message = SystemMessage(error);
        return StoreWrite{false, message.empty() ? std::to_wstring(error) : message};
    }
    return StoreWrite{true, {}};
}

} // namespace mirufon::win32
