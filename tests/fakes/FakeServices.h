#pragma once

#include "capture/ReadWorkers.h"
#include "fakes/FakeViews.h"
#include "platform/Clock.h"
#include "platform/ConfStore.h"
#include "platform/PointerProbe.h"

#include <optional>
#include <string>
#include <vector>

namespace mirufon
{

// Conf.txt in memory; a write can be made to fail with an error text.
class FakeConfStore final : public ConfStore
{
  public:
    explicit FakeConfStore(std::vector<std::string>* journal) : m_journal(journal) {}

    std::optional<std::wstring> text;
    std::optional<std::wstring> failWith;
    std::vector<std::wstring> written;

    std::optional<std::wstring> Read() override
    {
        m_journal.Note("conf read");
        return text;
    }
    StoreWrite Write(std::wstring_view content) override
    {
        m_journal.Note("conf write");
        if (failWith)
        {
            return StoreWrite{false, *failWith};
        }
        written.emplace_back(content);
        return StoreWrite{true, {}};
    }

  private:
    Journal m_journal;
};

// The pointer, placed by the test: over another program's window on thread 7 at first.
class FakePointerProbe final : public PointerProbe
{
  public:
    PointerTarget at{true, 100, 200, true, false, 7};

    int looks = 0; // how often Current was asked

    PointerTarget Current() override
    {
        ++looks;
        return at;
    }
    PointerPosition Position() override { return PointerPosition{at.x, at.y, at.known}; }
};

// Reads that only start: the test ends them through the engine or the controller.
class FakeReadWorkers final : public ReadWorkers
{
  public:
    std::vector<ReadRequest> started;
    std::vector<std::uint64_t> cancelled;

    void Start(const ReadRequest& request) override { started.push_back(request); }
    void Cancel(std::uint64_t id) override { cancelled.push_back(id); }
    std::uint64_t Last() const { return started.empty() ? 0 : started.back().id; }
};

class FakeClock final : public Clock
{
  public:
    std::int64_t now = 1000;

    std::int64_t NowMs() const override { return now; }
};

} // namespace mirufon
