#pragma once

#include "platform/win32/Handles.h"

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
// The same for an exception of the C++ library, whose error numbers are not the system's: its
// own description is reported.
void ReportException(std::wstring_view what, const std::exception& error);

} // namespace mirufon::win32
