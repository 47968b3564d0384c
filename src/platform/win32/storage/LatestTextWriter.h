#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace mirufon::win32
{

// One worker thread that writes the latest text handed to it. A text that waits while an
// earlier one is being written is replaced by a newer one: only the last state matters. A write
// that fails (another program holding the file open, say) is tried again after a pause that
// doubles up to a few seconds, until it succeeds or a newer text replaces it, so that the file
// does not stay behind when no further change comes. The thread starts with the object and
// ends with Stop or the object.
class LatestTextWriter
{
  public:
    // Writes the text; false when it could not.
    using WriteFunction = std::function<bool(const std::wstring&)>;

    explicit LatestTextWriter(
        WriteFunction write, std::chrono::milliseconds firstRetry = std::chrono::milliseconds(250));
    LatestTextWriter(const LatestTextWriter&) = delete;
    LatestTextWriter& operator=(const LatestTextWriter&) = delete;
    ~LatestTextWriter();

    // Hands a text over and returns at once. After Stop, nothing more is written. Should the
    // thread not have started, the text is written on the calling thread.
    void Post(std::wstring text);
    // Waits for a write in progress to finish and ends the thread; a waiting text is dropped.
    void Stop();

  private:
    void Serve();
    bool WriteGuarded(const std::wstring& text) noexcept;

    WriteFunction m_write;
    std::chrono::milliseconds m_firstRetry;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::wstring> m_waiting;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace mirufon::win32
