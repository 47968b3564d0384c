#pragma once

#include "capture/ReadOutcome.h"
#include "capture/ReadWorkers.h"
#include "platform/win32/window/Handles.h"

#include <functional>
#include <memory>
#include <optional>

namespace mirufon::win32
{

// Worker threads for the reads of the element under the pointer. Each worker initialises COM
// for the multithreaded apartment once and takes reads from a queue; the outcome of each read
// is posted to the window as `message` with the ReadOutcome as an owned pointer in lParam
// (TakePayload reclaims it), and so is word that its program answers. A harvest cancelled
// before a worker takes it is not made: it ends Cancelled. A worker stuck in another program is left to it: when every
// worker is busy a new one starts, and one that comes back later goes on serving. Nothing
// ever waits for a worker, not even the pool's end, so a stuck read cannot delay the exit.
class Win32ReadWorkers final : public ReadWorkers
{
  public:
    // Runs on a worker: the read the request asks for. It and everything it uses must outlive
    // the pool, as a stuck worker may run it after the pool is gone; it is shared with the
    // workers for that reason.
    using ReadFunction = std::function<ReadContent(const ReadRequest&, ReadProgress&)>;

    // Runs a worker's loop on a thread of its own, never waiting for it; throws
    // std::system_error when no thread can start.
    using WorkerStart = std::function<void(std::function<void()> serve)>;
    static void StartDetached(std::function<void()> serve);

    Win32ReadWorkers(HWND window, UINT message, ReadFunction read,
                     WorkerStart startWorker = &StartDetached);
    Win32ReadWorkers(const Win32ReadWorkers&) = delete;
    Win32ReadWorkers& operator=(const Win32ReadWorkers&) = delete;
    // Idle workers end; busy ones end when their read does, posting nothing.
    ~Win32ReadWorkers() override;

    void Start(const ReadRequest& request) override;
    void Cancel(std::uint64_t id) override;

  private:
    struct Shared;
    class Progress;
    static void Serve(const std::shared_ptr<Shared>& shared);
    static ReadOutcome ReadSafely(Shared& shared, const ReadRequest& request);

    std::shared_ptr<Shared> m_shared;
    WorkerStart m_startWorker;
};

} // namespace mirufon::win32
