#include "platform/win32/LatestTextWriter.h"

#include "platform/win32/SystemMessage.h"

#include <system_error>
#include <utility>

namespace mirufon::win32
{

LatestTextWriter::LatestTextWriter(WriteFunction write) : m_write(std::move(write))
{
    try
    {
        m_thread = std::thread([this] { Serve(); });
    }
    catch (const std::system_error& error)
    {
        ReportFailure(L"the journal's writer could not start",
                      static_cast<DWORD>(error.code().value()));
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
            WriteGuarded(text);
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
void LatestTextWriter::WriteGuarded(const std::wstring& text) noexcept
{
    try
    {
        m_write(text);
    }
    catch (...)
    {
        ReportFailure(L"a write of the journal failed", ERROR_OUTOFMEMORY);
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
        WriteGuarded(text);
        lock.lock();
    }
}

} // namespace mirufon::win32
