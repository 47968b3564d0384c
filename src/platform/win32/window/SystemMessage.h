#pragma once

#include "platform/win32/window/Handles.h"

#include <exception>
#include <string>
#include <string_view>

namespace mirufon::win32
{

// The system's description of an error number, without the trailing line break; empty when
// the system has none.
std::wstring SystemMessage(DWORD error);

// A line for the debugger's output (OutputDebugStringW): what failed and the system's
// description of the error.
void ReportFailure(std::wstring_view what, DWORD error);

// The description an exception gives of itself. A std::system_error's number belongs to its
// own category (the C library's errno values, most often), not to Windows: it is never looked
// up as a Windows error number.
std::wstring ExceptionMessage(const std::exception& error);

// A line for the debugger's output about the exception being handled: what failed and the
// exception's description. Only to be called from a catch block.
void ReportCurrentException(std::wstring_view what) noexcept;

} // namespace mirufon::win32
