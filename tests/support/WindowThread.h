#pragma once

// Test windows on a thread of their own, which does nothing but serve them: another thread or
// process can read them (window messages, accessibility calls) while the test's thread waits
// for that read. The thread can be told to stop answering for a while, as a program that
// hangs does: while it stalls it takes no messages at all, sent ones included.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace testsupport
{

class WindowThread
{
  public:
    // Makes the windows: build runs on the new thread (COM single-threaded there) and returns
    // the top-level windows it made, which are destroyed on that thread when this object goes.
    // Returns once they are made.
    explicit WindowThread(std::function<std::vector<HWND>()> build);
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;
    ~WindowThread();

    // The thread stops taking messages as soon as it sees this request, until Release or for
    // at most the time given.
    void Stall(std::chrono::milliseconds longest);
    void Release();
    // Called on the thread itself, from a window procedure: stalls right there, until Release
    // or for at most the time given (a window that takes its time to answer a sent message).
    void StallHere(std::chrono::milliseconds longest);
    // Whether the thread is stalled now.
    bool Stalled() const { return m_stalled; }
    // How many stalls have ended, and when the last one did.
    int StallsEnded() const { return m_stallsEnded; }
    std::chrono::steady_clock::time_point LastStallEnded() const { return m_lastStallEnded; }

  private:
    void Run(const std::function<std::vector<HWND>()>& build, HANDLE built);
    void Hold(DWORD milliseconds);

    HANDLE m_release = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<bool> m_stalled{false};
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_stallsEnded{0};
    std::atomic<std::chrono::steady_clock::time_point> m_lastStallEnded{};
    DWORD m_threadId = 0;
    std::thread m_thread;
};

} // namespace testsupport
