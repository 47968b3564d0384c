#pragma once

#include "platform/win32/Handles.h"

#include <string>

namespace mirufon::win32
{

inline constexpr wchar_t kMessageWindowClass[] = L"MirufonMessage";

// Shows a short message in a small borderless topmost window for durationMs, after which it
// shrinks towards its bottom-right corner and closes. With modal, returns only after it has
// closed, dispatching messages meanwhile. Shows nothing when customMsg is 0. Any failure to
// create the window is ignored: the caller goes on as if it had been shown.
void DispMsg(HINSTANCE instance, const std::wstring& text, std::int32_t durationMs, bool modal,
             std::int32_t customMsg);

} // namespace mirufon::win32
