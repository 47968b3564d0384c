#include "support/WindowThread.h"

#include <objbase.h>

namespace testsupport
{
namespace
{

// A thread message: stop taking messages, for at most wParam milliseconds.
constexpr UINT kStall = WM_APP + 0x3A0;

} // namespace

WindowThread::WindowThread(std::function<std::vector<HWND>()> build)
{
    const HANDLE built = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this, build = std::move(build), built] { Run(build, built); });
    ::WaitForSingleObject(built, 10000);
    ::CloseHandle(built);
}

WindowThread::~WindowThread()
{
    m_stopping = true;
    Release();
    ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    m_thread.join();
    ::CloseHandle(m_release);
}

void WindowThread::Stall(std::chrono::milliseconds longest)
{
    // Reset here, not on the thread, so that a Release that comes before the thread takes
    // the request still ends the stall.
    ::ResetEvent(m_release);
    ::PostThreadMessageW(m_threadId, kStall, static_cast<WPARAM>(longest.count()), 0);
}

void WindowThread::Release()
{
    ::SetEvent(m_release);
}

void WindowThread::StallHere(std::chrono::milliseconds longest)
{
    ::ResetEvent(m_release);
    // A destructor that released before the reset has set this first.
    if (!m_stopping)
    {
        Hold(static_cast<DWORD>(longest.count()));
    }
}

void WindowThread::Hold(DWORD milliseconds)
{
    m_stalled = true;
    // Neither pumping nor alertable: sent messages wait as well as posted ones.
    ::WaitForSingleObject(m_release, milliseconds);
    m_lastStallEnded = std::chrono::steady_clock::now();
    m_stalled = false;
    ++m_stallsEnded;
}

void WindowThread::Run(const std::function<std::vector<HWND>()>& build, HANDLE built)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_threadId = ::GetCurrentThreadId();
    // The queue exists from here on, so that a message posted to the thread is not lost.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    const std::vector<HWND> windows = build();
    ::SetEvent(built);
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        if (message.hwnd == nullptr && message.message == kStall)
        {
            Hold(static_cast<DWORD>(message.wParam));
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    for (HWND window : windows)
    {
        ::DestroyWindow(window);
    }
    ::CoUninitialize();
}

} // namespace testsupport
