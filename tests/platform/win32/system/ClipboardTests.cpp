#include "platform/win32/system/Win32Clipboard.h"
#include "platform/win32/window/PostedPayload.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace mirufon::win32
{
namespace
{

// A read whose outcome the system refuses to post (the window's queue is full) is posted again
// until it arrives: copy capture waits for every read it started, and would read no copy again.
TEST(Win32Clipboard, AReadWhosePostIsRefusedArrivesAllTheSame)
{
    constexpr UINT kReadDone = WM_APP + 1;
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr);
    std::atomic<int> refusals = 3;
    Win32Clipboard clipboard(window, kReadDone,
                             [&](HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
                                 return --refusals < 0 &&
                                        ::PostMessageW(target, message, wParam, lParam);
                             });
    ASSERT_FALSE(clipboard.StartRead().has_value());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    MSG message{};
    bool arrived = false;
    while (!(arrived = ::PeekMessageW(&message, window, kReadDone, kReadDone, PM_REMOVE)) &&
           std::chrono::steady_clock::now() < deadline)
    {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
    }
    ASSERT_TRUE(arrived) << "the read's outcome never arrived";
    EXPECT_TRUE(TakePayload<ClipboardRead>(message.lParam).has_value());
    EXPECT_LT(refusals.load(), 0);
    ::DestroyWindow(window);
}

} // namespace
} // namespace mirufon::win32
