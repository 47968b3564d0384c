#include "platform/win32/ControlWindow.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/MessageReader.h"
#include "platform/win32/window/ControlSubclass.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <future>
#include <thread>

namespace mirufon::win32
{
namespace
{

using namespace mirufon::win32::testing;
using namespace std::chrono_literals;

constexpr wchar_t kButtonCaption[] = L"応答 answer";
constexpr wchar_t kItemText[] = L"項目 item";
constexpr DWORD kLongestHangMs = 3000;

// A window with a button and a list view on a thread of its own, which, when told to, stops
// pumping messages altogether, or stalls in the list view's next hit test with the message in
// hand, until released or for at most three seconds.
class HungWindowThread
{
  public:
    HungWindowThread()
    {
        m_thread = std::thread([this] { Run(); });
        ::WaitForSingleObject(m_ready.Get(), 5000);
    }
    HungWindowThread(const HungWindowThread&) = delete;
    HungWindowThread& operator=(const HungWindowThread&) = delete;
    ~HungWindowThread()
    {
        Release();
        ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }

    HWND Button() const { return m_button; }
    HWND ListView() const { return m_listView; }
    // LVM_SUBITEMHITTEST messages the list view has answered.
    int HitTestsAnswered() const { return m_hitTestsAnswered; }
    bool Hanging() const { return m_hanging; }

    // Returns once the thread has stopped pumping.
    bool Hang()
    {
        ::SetEvent(m_hang.Get());
        return WaitFor([this] { return m_hanging.load(); }, 2s);
    }
    void StallNextHitTest() { m_stallHitTest = true; }
    void Release() { ::SetEvent(m_release.Get()); }

  private:
    void Stall()
    {
        m_hanging = true;
        ::WaitForSingleObject(m_release.Get(), kLongestHangMs);
        m_hanging = false;
    }

    std::optional<LRESULT> OnListViewMessage(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam)
    {
        if (message != LVM_SUBITEMHITTEST)
        {
            return std::nullopt;
        }
        if (m_stallHitTest.exchange(false))
        {
            Stall();
        }
        const LRESULT result = ::DefSubclassProc(control, message, wParam, lParam);
        ++m_hitTestsAnswered;
        return result;
    }

    void Run()
    {
        m_threadId = ::GetCurrentThreadId();
        ControlWindow window(POINT{700, 40}, SIZE{400, 300});
        m_button = window.Add(L"BUTTON", kButtonCaption, 0, RECT{20, 20, 200, 50});
        m_listView = window.Add(WC_LISTVIEWW, L"", LVS_REPORT, RECT{20, 70, 360, 230});
        AddListViewColumns(m_listView, {L"列"});
        AddListViewRow(m_listView, 0, {kItemText});
        ControlSubclass stalling(m_listView,
                                 [this](HWND control, UINT message, WPARAM wParam, LPARAM lParam)
                                 { return OnListViewMessage(control, message, wParam, lParam); });
        ::SetEvent(m_ready.Get());
        HANDLE hang = m_hang.Get();
        for (;;)
        {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            {
                if (message.message == WM_QUIT)
                {
                    return;
                }
                ::DispatchMessageW(&message);
            }
            if (::MsgWaitForMultipleObjects(1, &hang, FALSE, INFINITE, QS_ALLINPUT) ==
                WAIT_OBJECT_0)
            {
                Stall();
            }
        }
    }

    UniqueKernelHandle m_ready{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueKernelHandle m_hang{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle m_release{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::atomic<bool> m_hanging{false};
    std::atomic<bool> m_stallHitTest{false};
    std::atomic<int> m_hitTestsAnswered{0};
    DWORD m_threadId = 0;
    HWND m_button = nullptr;
    HWND m_listView = nullptr;
    std::thread m_thread;
};

struct TimedAnswer
{
    ReaderAnswer answer;
    std::chrono::milliseconds took{};
};

// The read runs on a worker thread, as the program runs it; the test waits for it to end.
std::future<TimedAnswer> ReadOnWorker(const ReadTarget& target)
{
    return std::async(std::launch::async,
                      [target]
                      {
                          const auto start = std::chrono::steady_clock::now();
                          MessageReader reader;
                          TimedAnswer timed{reader.Read(target, WantedTexts{true, true}), {}};
                          timed.took = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start);
                          return timed;
                      });
}

// Reads the target on a worker and expects it to give up on the hung control within a
// generous bound, though only after the control had its message limit.
void ExpectGivesUpInTime(const ReadTarget& target)
{
    auto read = ReadOnWorker(target);
    ASSERT_EQ(read.wait_for(1500ms), std::future_status::ready)
        << "a read of a hung control must not last as long as the hang";
    const TimedAnswer timed = read.get();
    std::printf("read of a hung control took %lld ms\n",
                static_cast<long long>(timed.took.count()));
    EXPECT_TRUE(timed.answer.name.empty());
    EXPECT_GE(timed.took, 150ms) << "the read gave up before the control had its time";
}

TEST(MessageReaderHungTest, HungControlCostsOneMessageLimit)
{
    HungWindowThread hung;
    ASSERT_NE(hung.ListView(), nullptr);
    const ReadTarget button = TargetAt(CentreOf(hung.Button()), kWholeText);
    const ReadTarget item = TargetAt(ListViewCellCentre(hung.ListView(), 0, 0), kWholeText);
    ASSERT_EQ(reinterpret_cast<HWND>(item.control), hung.ListView());
    ASSERT_EQ(ReadOnWorker(button).get().answer.name, kButtonCaption);
    ASSERT_EQ(ReadOnWorker(item).get().answer.name, kItemText);

    ASSERT_TRUE(hung.Hang());
    ExpectGivesUpInTime(button);
    ExpectGivesUpInTime(item);
    ASSERT_TRUE(hung.Hanging()) << "the hang ended before the reads did: nothing was measured";
    hung.Release();
    EXPECT_EQ(ReadOnWorker(button).get().answer.name, kButtonCaption);
}

TEST(MessageReaderHungTest, MemoryOfAControlThatAnswersLateOutlivesTheRead)
{
    HungWindowThread hung;
    ASSERT_NE(hung.ListView(), nullptr);
    const ReadTarget item = TargetAt(ListViewCellCentre(hung.ListView(), 0, 0), kWholeText);

    // The list view has the hit test, with its pointer into the reader's block, when the
    // reader gives up on it.
    hung.StallNextHitTest();
    ExpectGivesUpInTime(item);
    ASSERT_TRUE(hung.Hanging());
    const int answered = hung.HitTestsAnswered();
    hung.Release();
    // It then writes its answer into the block, which is still there: nothing breaks.
    EXPECT_TRUE(WaitFor([&] { return hung.HitTestsAnswered() == answered + 1; }, 3s));
    EXPECT_EQ(ReadOnWorker(item).get().answer.name, kItemText);
}

} // namespace
} // namespace mirufon::win32
