#include "platform/win32/reading/Win32ReadWorkers.h"

#include "platform/win32/window/ComApartment.h"
#include "platform/win32/window/PostedPayload.h"
#include "platform/win32/window/SystemMessage.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
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

struct Win32ReadWorkers::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<ReadRequest> queue;
    int idle = 0;
    bool closing = false;
    HWND window = nullptr;
    UINT message = 0;
    ReadFunction read;
    // The reads that may still be cancelled, by id: each holds its flag while it runs.
    std::map<std::uint64_t, std::shared_ptr<std::atomic<bool>>> cancels;

    std::shared_ptr<std::atomic<bool>> CancelFlag(std::uint64_t id)
    {
        const std::lock_guard lock(mutex);
        auto& flag = cancels[id];
        if (!flag)
        {
            flag = std::make_shared<std::atomic<bool>>(false);
        }
        return flag;
    }

    void Forget(std::uint64_t id)
    {
        const std::lock_guard lock(mutex);
        cancels.erase(id);
    }

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

void Win32ReadWorkers::StartDetached(std::function<void()> serve)
{
    std::thread(std::move(serve)).detach();
}

Win32ReadWorkers::Win32ReadWorkers(HWND window, UINT message, ReadFunction read,
                                   WorkerStart startWorker)
    : m_shared(std::make_shared<Shared>()), m_startWorker(std::move(startWorker))
{
    m_shared->window = window;
    m_shared->message = message;
    m_shared->read = std::move(read);
}

Win32ReadWorkers::~Win32ReadWorkers()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->closing = true;
        m_shared->queue.clear();
        // Harvests under way stop at their next item.
        for (const auto& [id, flag] : m_shared->cancels)
        {
            flag->store(true);
        }
    }
    m_shared->wake.notify_all();
}

void Win32ReadWorkers::Cancel(std::uint64_t id)
{
    // A read that has ended has no flag any more, and needs none.
    const std::lock_guard lock(m_shared->mutex);
    if (const auto flag = m_shared->cancels.find(id); flag != m_shared->cancels.end())
    {
        flag->second->store(true);
    }
}

void Win32ReadWorkers::Start(const ReadRequest& request)
{
    // From now on it can be cancelled, even before a worker takes it.
    m_shared->CancelFlag(request.id);
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
        m_startWorker([shared = m_shared] { Serve(shared); });
    }
    catch (const std::system_error&)
    {
        const std::lock_guard lock(m_shared->mutex);
        --m_shared->idle;
        ReportCurrentException(L"a read worker could not start");
    }
}

// Tells the window that the read's program answers, through the same owned payload as an
// outcome, and whether the read was cancelled.
class Win32ReadWorkers::Progress final : public ReadProgress
{
  public:
    Progress(Shared& shared, const ReadRequest& request)
        : m_shared(shared), m_request(request), m_cancelled(shared.CancelFlag(request.id))
    {
    }
    void Answering(std::size_t chars) override
    {
        m_shared.Post(ReadOutcome{m_request.id, ReadAnswering{chars}});
    }
    bool Cancelled() const override { return m_cancelled->load(); }

  private:
    Shared& m_shared;
    const ReadRequest& m_request;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};

// A read that throws (out of memory on a huge text, say) must not end the process: it is
// reported as failed, and the worker goes on serving.
ReadOutcome Win32ReadWorkers::ReadSafely(Shared& shared, const ReadRequest& request)
{
    ReadOutcome outcome{request.id, ReadFailed{}};
    try
    {
        Progress progress(shared, request);
        if (request.kind == ReadKind::Harvest && progress.Cancelled())
        {
            outcome.content = HarvestResult{HarvestOutcome::Cancelled, {}};
        }
        else
        {
            outcome.content = shared.read(request, progress);
        }
    }
    catch (const std::exception&)
    {
        ReportCurrentException(L"a read failed");
    }
    shared.Forget(request.id);
    return outcome;
}

void Win32ReadWorkers::Serve(const std::shared_ptr<Shared>& shared)
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
