#pragma once

// Dispatching the calling thread's window messages while a test or benchmark waits: the one
// helper every waiting loop uses. Messages are handled as they arrive rather than after a
// sleep, since another program may be waiting for a window of this thread to answer.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <chrono>
#include <functional>

namespace testsupport
{

// Takes a message before it is dispatched; true when it has handled it (a dialog's keyboard
// interface, say).
using MessageFilter = std::function<bool(MSG&)>;

// Dispatches every message pending for the calling thread.
inline void DispatchPending(const MessageFilter& filter = {})
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        if (filter && filter(message))
        {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Dispatches messages as they arrive until the time is up (at least one pass).
inline void DispatchFor(std::chrono::milliseconds duration, const MessageFilter& filter = {})
{
    const auto until = std::chrono::steady_clock::now() + duration;
    for (;;)
    {
        DispatchPending(filter);
        const auto now = std::chrono::steady_clock::now();
        if (now >= until)
        {
            return;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
    }
}

// Dispatches messages until the condition holds, checking it every poll; false when the
// timeout passed first.
inline bool DispatchUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                          std::chrono::milliseconds poll = std::chrono::milliseconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        if (condition())
        {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
        {
            return false;
        }
        DispatchFor(std::min(poll, std::chrono::ceil<std::chrono::milliseconds>(deadline - now)));
    }
}

} // namespace testsupport
