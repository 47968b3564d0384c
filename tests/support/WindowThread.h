#pragma once

// Test windows on a thread of their own, which does nothing but serve them: another thread or
// process can read them (window messages, accessibility calls) while the test's thread waits
// for that read. The thread can be told to stop answering for a while, as a program that
// hangs does.

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
    // Whether the thread is stalled now.
    bool Stalled() const { return m_stalled; }

  private:
    void Run(const std::function<std::vector<HWND>()>& build, HANDLE built);

    HANDLE m_release = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<bool> m_stalled{false};
    DWORD m_threadId = 0;
    std::thread m_thread;
};

} // namespace testsupport
