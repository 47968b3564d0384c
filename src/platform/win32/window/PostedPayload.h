#pragma once

#include "platform/win32/window/Handles.h"

#include <memory>
#include <optional>
#include <utility>

namespace mirufon::win32
{

// A value handed from a worker thread to a window: posted as an owned pointer in lParam and
// taken back into ownership by the window's thread. When the post fails (the window is gone)
// the value is freed here; nothing is left behind either way.
template <typename Payload> bool PostPayload(HWND window, UINT message, Payload payload)
{
    auto owned = std::make_unique<Payload>(std::move(payload));
    if (!::PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(owned.get())))
    {
        return false;
    }
    // The window's thread owns it now (TakePayload).
    static_cast<void>(owned.release());
    return true;
}

template <typename Payload> std::optional<Payload> TakePayload(LPARAM lParam)
{
    std::unique_ptr<Payload> owned(reinterpret_cast<Payload*>(lParam));
    if (!owned)
    {
        return std::nullopt;
    }
    return std::move(*owned);
}

} // namespace mirufon::win32
