#include "platform/win32/system/Win32Clipboard.h"

#include "capture/CopyCapture.h"
#include "platform/win32/window/SystemMessage.h"
#include "text/UiText.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace mirufon::win32
{
namespace
{

// The clipboard opened by this thread for the guard's lifetime; IsOpen is false when another
// program holds it. Opened without an owner window: the worker only reads and empties.
class OpenedClipboard
{
  public:
    OpenedClipboard() : m_open(::OpenClipboard(nullptr) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard()
    {
        if (m_open)
        {
            ::CloseClipboard();
        }
    }
    bool IsOpen() const { return m_open; }

  private:
    bool m_open;
};

ClipboardRead Failure(DWORD error, std::wstring_view fallback)
{
    std::wstring description = error ? SystemMessage(error) : std::wstring();
    if (description.empty())
    {
        description = fallback;
    }
    return ClipboardRead{false, {}, static_cast<long>(error), description};
}

// Whether the program that copied asked clipboard monitors to leave the copy alone, as
// password managers do: either marker format, or a "may go into the clipboard history" of 0.
bool IsPrivateCopy()
{
    static const UINT exclude =
        ::RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    static const UINT ignore = ::RegisterClipboardFormatW(L"Clipboard Viewer Ignore");
    static const UINT history = ::RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
    if ((exclude && ::IsClipboardFormatAvailable(exclude)) ||
        (ignore && ::IsClipboardFormatAvailable(ignore)))
    {
        return true;
    }
    if (!history || !::IsClipboardFormatAvailable(history))
    {
        return false;
    }
    HANDLE data = ::GetClipboardData(history);
    if (!data || ::GlobalSize(data) < sizeof(DWORD))
    {
        return false;
    }
    const auto* allowed = static_cast<const DWORD*>(::GlobalLock(data));
    const bool excluded = allowed && *allowed == 0;
    if (allowed)
    {
        ::GlobalUnlock(data);
    }
    return excluded;
}

// The Unicode text, so that every character of the copy arrives; the system converts text put
// on the clipboard in the ANSI code page.
// One attempt; it may wait for the clipboard's owner to render its data.
ClipboardRead ReadClipboardOnce()
{
    ::SetLastError(0);
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen())
    {
        return Failure(::GetLastError() ? ::GetLastError() : ERROR_ACCESS_DENIED,
                       Text(UiText::ClipboardCannotOpen));
    }
    // Read while the clipboard is open, so that the number and the text belong to one state.
    const DWORD sequence = ::GetClipboardSequenceNumber();
    if (IsPrivateCopy())
    {
        return ClipboardRead{true, {}, 0, {}, sequence, ClipboardContent::Private};
    }
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT))
    {
        // Changed since the notification: nothing to read, and nothing went wrong.
        return ClipboardRead{true, {}, 0, {}, sequence, ClipboardContent::NoText};
    }
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data)
    {
        return Failure(::GetLastError(), Text(UiText::ClipboardNoText));
    }
    const auto* text = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!text)
    {
        return Failure(::GetLastError(), Text(UiText::ClipboardCannotRead));
    }
    // Up to the first NUL, never past the memory block.
    const SIZE_T capacity = ::GlobalSize(data) / sizeof(wchar_t);
    SIZE_T length = 0;
    while (length < capacity && text[length] != L'\0')
    {
        ++length;
    }
    ClipboardRead read{true, std::wstring(text, length), 0, {}, sequence};
    ::GlobalUnlock(data);
    return read;
}

enum class Job
{
    Read,
    Empty,
};

} // namespace

struct Win32Clipboard::Worker
{
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> jobs;
    bool running = false;
    bool closing = false;
    HWND window = nullptr;
    UINT readDone = 0;
    PostToWindow post;

    // False when the worker thread could not start: the job is then dropped, and the next one
    // tries to start it again.
    bool Add(Job job, const std::shared_ptr<Worker>& self)
    {
        bool start = false;
        {
            const std::lock_guard lock(mutex);
            jobs.push_back(job);
            start = !running;
            running = true;
        }
        if (!start)
        {
            wake.notify_one();
            return true;
        }
        try
        {
            std::thread([self] { self->Serve(); }).detach();
            return true;
        }
        catch (const std::system_error&)
        {
            const std::lock_guard lock(mutex);
            running = false;
            jobs.clear();
            ReportCurrentException(L"the clipboard's worker could not start");
            return false;
        }
    }

    void Serve()
    {
        for (;;)
        {
            Job job = Job::Read;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [&] { return closing || !jobs.empty(); });
                if (closing)
                {
                    return;
                }
                job = jobs.front();
                jobs.pop_front();
            }
            Run(job);
        }
    }

    void Run(Job job)
    {
        const auto sleep = [](int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); };
        if (job == Job::Empty)
        {
            // A clipboard that stays locked is not reported: the log is emptied regardless.
            TryRepeatedly(
                []
                {
                    OpenedClipboard clipboard;
                    return clipboard.IsOpen() && ::EmptyClipboard();
                },
                sleep);
            return;
        }
        ClipboardRead read;
        TryRepeatedly(
            [&]
            {
                read = ReadClipboardOnce();
                return read.ok;
            },
            sleep);
        Deliver(std::make_unique<ClipboardRead>(std::move(read)));
    }

    // The window hears of every read: until it does, copy capture waits for this one and reads
    // no other copy. A full queue empties again, so a refused post is tried again.
    void Deliver(std::unique_ptr<ClipboardRead> read)
    {
        for (bool reported = false;; reported = true)
        {
            DWORD error = 0;
            {
                const std::lock_guard lock(mutex);
                if (closing)
                {
                    return;
                }
                if (post(window, readDone, 0, reinterpret_cast<LPARAM>(read.get())))
                {
                    // The window's thread owns it now (TakePayload).
                    static_cast<void>(read.release());
                    return;
                }
                error = ::GetLastError();
            }
            if (!reported)
            {
                ReportFailure(L"a clipboard read could not be posted yet", error);
            }
            ::Sleep(static_cast<DWORD>(kClipboardRetryMs));
        }
    }
};

Win32Clipboard::Win32Clipboard(HWND window, UINT readDone, PostToWindow post) : m_window(window)
{
    m_worker = std::make_shared<Worker>();
    m_worker->window = window;
    m_worker->readDone = readDone;
    m_worker->post = post ? std::move(post) : ::PostMessageW;
}

Win32Clipboard::~Win32Clipboard()
{
    StopListening();
    {
        const std::lock_guard lock(m_worker->mutex);
        m_worker->closing = true;
        m_worker->jobs.clear();
    }
    m_worker->wake.notify_all();
}

void Win32Clipboard::StartListening()
{
    if (m_listening)
    {
        return;
    }
    m_listening = ::AddClipboardFormatListener(m_window) != FALSE;
    if (!m_listening)
    {
        ReportFailure(L"the clipboard listener could not be added", ::GetLastError());
    }
}

void Win32Clipboard::StopListening()
{
    if (!m_listening)
    {
        return;
    }
    ::RemoveClipboardFormatListener(m_window);
    m_listening = false;
}

WindowId Win32Clipboard::Foreground()
{
    return reinterpret_cast<WindowId>(::GetForegroundWindow());
}

bool Win32Clipboard::TextAvailable()
{
    return ::IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

std::optional<ClipboardRead> Win32Clipboard::StartRead()
{
    if (m_worker->Add(Job::Read, m_worker))
    {
        return std::nullopt;
    }
    // What keeps a thread from starting: the system is short of memory.
    return Failure(ERROR_NOT_ENOUGH_MEMORY, Text(UiText::ClipboardCannotRead));
}

void Win32Clipboard::StartEmpty()
{
    m_worker->Add(Job::Empty, m_worker);
}

} // namespace mirufon::win32
