#pragma once

#include "platform/win32/Handles.h"

#include <string>

namespace mirufon::win32
{

// The accessible name (accName) and the accessible value (accValue) of the element at a point
// on the screen, through Active Accessibility. Each call makes its own hit test and releases
// everything it obtained before it returns. The result is "" on any failure, when the element
// has no such property (S_FALSE) or when it returns no string; nothing is reported.
// COM must be initialised on the calling thread (apartment-threaded on the UI thread).
std::wstring GetAccNameAt(POINT screenPoint) noexcept;
std::wstring GetAccValueAt(POINT screenPoint) noexcept;

// Whether oleacc.dll could be loaded from the system folder and exports the hit test; when
// it cannot, both reads above give "".
bool AccessibilityAvailable() noexcept;

} // namespace mirufon::win32
