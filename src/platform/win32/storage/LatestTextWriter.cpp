#include "platform/win32/storage/LatestTextWriter.h"

#include "platform/win32/window/SystemMessage.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace mirufon::win32
{

namespace
{

// The longest pause between two tries of a failed write.
constexpr std::chrono::milliseconds kLongestRetry{8000};

} // namespace

LatestTextWriter::LatestTextWriter(WriteFunction write, std::chrono::milliseconds firstRetry)
    : m_write(std::move(write)), m_firstRetry(firstRetry)
{
    try
    {
        m_thread = std::thread([this] { Serve(); });
    }
    catch (const std::system_error&)
    {
        ReportCurrentException(L"the journal's writer could not start");
    }
}

LatestTextWriter::~LatestTextWriter()
{
    Stop();
}

void LatestTextWriter::Post(std::wstring text)
{
    if (!m_thread.joinable())
    {
        if (!m_stopping)
        {
            static_cast<void>(WriteGuarded(text));
        }
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping)
        {
            return;
        }
        m_waiting = std::move(text);
    }
    m_wake.notify_one();
}

void LatestTextWriter::Stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.reset();
    }
    m_wake.notify_one();
    if (m_thread.joinable())
    {
        m_thread.join();
    }
}

// Nothing may leave the thread: one failed write must not end the program.
bool LatestTextWriter::WriteGuarded(const std::wstring& text) noexcept
{
    try
    {
        return m_write(text);
    }
    catch (...)
    {
        ReportCurrentException(L"a write of the journal failed");
        return false;
    }
}

void LatestTextWriter::Serve()
{
    std::unique_lock lock(m_mutex);
    for (;;)
    {
        m_wake.wait(lock, [this] { return m_stopping || m_waiting; });
        if (m_stopping)
        {
            return;
        }
        std::wstring text = std::move(*m_waiting);
        m_waiting.reset();
        lock.unlock();
        bool written = WriteGuarded(text);
        lock.lock();
        // A failed write is tried again unless a newer text or the stop comes first.
        for (auto pause = m_firstRetry; !written; pause = std::min(pause * 2, kLongestRetry))
        {
            if (m_wake.wait_for(lock, pause, [this] { return m_stopping || m_waiting; }))
            {
                break;
            }
            lock.unlock();
            written = WriteGuarded(text);
            lock.lock();
        }
    }
}

} // namespace mirufon::win32
