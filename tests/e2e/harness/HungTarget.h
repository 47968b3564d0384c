#pragma once

// A top-level window with a button on a thread of the driver's own, which can be told to stop
// responding for a while: its thread then pumps no messages at all (sent ones included) while
// the driver's main thread goes on. It stands for a program that hangs under the pointer.

#include "e2e/harness/Harness.h"
#include "support/WindowThread.h"

#include <atomic>
#include <chrono>
#include <string>

namespace e2e
{

class HungTarget
{
  public:
    static constexpr POINT kDefaultPosition{20, 30};
    static constexpr SIZE kDefaultSize{300, 160};
    static constexpr const wchar_t* kButtonCaption = L"応答 Respond";
    static constexpr const wchar_t* kCaption = L"ミルフォン E2E hung";

    // Starts the thread and waits until its window is shown, topmost.
    explicit HungTarget(POINT position = kDefaultPosition, SIZE size = kDefaultSize);
    HungTarget(const HungTarget&) = delete;
    HungTarget& operator=(const HungTarget&) = delete;
    // Wakes the thread if it hangs, ends the window and waits for the thread to end.
    ~HungTarget();

    bool Started() const { return m_button != nullptr; }
    HWND Handle() const { return m_window; }
    HWND Button() const { return m_button; }
    POINT ButtonCentre() const;

    // Makes the window's thread stop pumping for the duration and returns once it has stopped
    // (false when it did not within two seconds). The caller's thread pumps meanwhile.
    bool StopResponding(std::chrono::milliseconds duration);
    bool IsHung() const { return m_thread.Stalled(); }
    // How many hangs have ended so far: the thread pumps again after each.
    int Recoveries() const { return m_thread.StallsEnded(); }
    // Waits, pumping the caller's messages, until the window's thread pumps again.
    bool WaitUntilRecovered(std::chrono::milliseconds timeout);

    // Makes the window the clipboard's owner with the text offered but not yet rendered; when a
    // program asks for it, the window takes renderDelay to render it, pumping nothing meanwhile.
    // Returns once the offer is on the clipboard (false when the clipboard stayed busy).
    bool OfferSlowText(const std::wstring& text, std::chrono::milliseconds renderDelay);

    // Posts a message that the window notes when it handles it: how many it has handled, and
    // when it handled the last one and when the last hang ended.
    void PostPing() const;
    int PingsAnswered() const { return m_pings; }
    std::chrono::steady_clock::time_point LastPingAnswered() const { return m_lastPing; }
    std::chrono::steady_clock::time_point LastRecovery() const { return m_thread.LastStallEnded(); }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // On the window's thread: the window and its button.
    std::vector<HWND> Build(POINT position, SIZE size);

    std::atomic<HWND> m_window{nullptr};
    std::atomic<HWND> m_button{nullptr};
    std::atomic<int> m_pings{0};
    std::atomic<std::chrono::steady_clock::time_point> m_lastPing{};
    std::wstring m_offeredText;
    std::chrono::milliseconds m_renderDelay{0};
    std::atomic<int> m_offers{0};
    // Last: the thread ends before the members its window reads.
    testsupport::WindowThread m_thread;
};

} // namespace e2e
