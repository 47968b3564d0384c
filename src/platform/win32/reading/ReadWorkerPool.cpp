#include "platform/win32/reading/ReadWorkerPool.h"

#include "platform/win32/window/ComApartment.h"
#include "platform/win32/window/PostedPayload.h"
#include "platform/win32/window/SystemMessage.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace mirufon::win32
{
namespace
{

// Idle workers beyond this many end instead of waiting for work.
constexpr int kMostIdleWorkers = 4;

} // namespace

struct ReadWorkerPool::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<ReadRequest> queue;
    int idle = 0;
    bool closing = false;
    HWND window = nullptr;
    UINT message = 0;
    ReadFunction read;

    void Post(ReadOutcome outcome)
    {
        {
            const std::lock_guard lock(mutex);
            if (closing)
            {
                return;
            }
        }
        PostPayload(window, message, std::move(outcome));
    }
};

ReadWorkerPool::ReadWorkerPool(HWND window, UINT message, ReadFunction read)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->window = window;
    m_shared->message = message;
    m_shared->read = std::move(read);
}

ReadWorkerPool::~ReadWorkerPool()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->closing = true;
        m_shared->queue.clear();
    }
    m_shared->wake.notify_all();
}

void ReadWorkerPool::Start(const ReadRequest& request)
{
    bool needWorker = false;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_back(request);
        needWorker = m_shared->idle < static_cast<int>(m_shared->queue.size());
        if (needWorker)
        {
            // Counted as idle from now on, so that the next Start does not start another
            // worker for the same read.
            ++m_shared->idle;
        }
    }
    if (!needWorker)
    {
        m_shared->wake.notify_one();
        return;
    }
    try
    {
        std::thread([shared = m_shared] { Serve(shared); }).detach();
    }
    catch (const std::system_error&)
    {
        const std::lock_guard lock(m_shared->mutex);
        --m_shared->idle;
        ReportCurrentException(L"a read worker could not start");
    }
}

// Tells the window of a long text on its way, through the same owned payload as an outcome.
class ReadWorkerPool::Progress final : public ReadProgress
{
  public:
    Progress(Shared& shared, std::uint64_t id) : m_shared(shared), m_id(id) {}
    void LongTransfer(std::size_t chars) override
    {
        m_shared.Post(ReadOutcome{m_id, {}, true, chars});
    }

  private:
    Shared& m_shared;
    std::uint64_t m_id;
};

// A read that throws (out of memory on a huge text, say) must not end the process: it is
// reported as failed, and the worker goes on serving.
ReadOutcome ReadWorkerPool::ReadSafely(Shared& shared, const ReadRequest& request)
{
    try
    {
        Progress progress(shared, request.id);
        return ReadOutcome{request.id, shared.read(request, progress), false, 0, false};
    }
    catch (const std::exception&)
    {
        ReportCurrentException(L"a read failed");
    }
    return ReadOutcome{request.id, {}, false, 0, true};
}

void ReadWorkerPool::Serve(const std::shared_ptr<Shared>& shared)
{
    const ComApartment apartment(COINIT_MULTITHREADED);
    for (;;)
    {
        ReadRequest request;
        {
            std::unique_lock lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->closing || !shared->queue.empty(); });
            if (shared->closing)
            {
                --shared->idle;
                return;
            }
            request = shared->queue.front();
            shared->queue.pop_front();
            --shared->idle;
        }
        shared->Post(ReadSafely(*shared, request));
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->closing || shared->idle >= kMostIdleWorkers)
            {
                return;
            }
            ++shared->idle;
        }
    }
}

} // namespace mirufon::win32
