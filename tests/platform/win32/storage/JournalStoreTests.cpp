#include "platform/win32/storage/FileContents.h"
#include "platform/win32/storage/LatestTextWriter.h"
#include "platform/win32/storage/TextCodec.h"
#include "platform/win32/storage/Win32JournalStore.h"
#include "platform/win32/window/SystemMessage.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace mirufon::win32
{
namespace
{

// A fresh folder under the temporary folder, removed with its contents.
class Folder : public testsupport::TempFolder
{
  public:
    Folder() : testsupport::TempFolder(L"mirufon-journal-") {}
};

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(Win32JournalStore, WritesUtf8WholeKeepsCopiesAsideAndLeavesNoFileForNothing)
{
    Folder local;
    Win32JournalStore store(local.Path() + L"\\Mirufon\\Journal");
    ASSERT_EQ(store.Folder(), local.Path() + L"\\Mirufon\\Journal") << "made with its parent";
    const std::wstring path = store.Folder() + L"\\mirufon-journal.txt";
    EXPECT_EQ(store.Read(), std::nullopt);

    // A surrogate pair and a tab survive; the file starts with the byte-order mark.
    const std::wstring text = L"記録\t\U0001F600\r\nline";
    ASSERT_TRUE(store.Write(text));
    EXPECT_EQ(ReadWholeFile(path),
              "\xEF\xBB\xBF\xE8\xA8\x98\xE9\x8C\xB2\t\xF0\x9F\x98\x80\r\nline");
    EXPECT_EQ(store.Read(), text);

    // Set aside twice in the same second: the second copy takes a number.
    ASSERT_TRUE(store.SetAside(L"mirufon-journal-20240309-070502.txt"));
    ASSERT_TRUE(store.Write(L"second"));
    ASSERT_TRUE(store.SetAside(L"mirufon-journal-20240309-070502.txt"));
    EXPECT_EQ(store.Read(), std::nullopt);
    EXPECT_EQ(FromUtf8(ReadWholeFile(store.Folder() + L"\\mirufon-journal-20240309-070502-2.txt")
                           .value_or("")),
              L"second");

    // An empty log leaves no file; removal keeps a folder that holds kept copies.
    ASSERT_TRUE(store.Write(L"third"));
    ASSERT_TRUE(store.Write(L""));
    EXPECT_FALSE(Exists(path));
    store.Remove();
    EXPECT_TRUE(Exists(store.Folder()));

    // A journal an earlier version left in its own folder is taken over at the read, once the
    // journal's place is free; the emptied earlier folder goes.
    const std::wstring earlier = local.Path() + L"\\Earlier";
    ASSERT_TRUE(Win32JournalStore(earlier).Write(L"earlier"));
    Win32JournalStore upgraded(store.Folder(), earlier);
    ASSERT_TRUE(upgraded.Write(L"own"));
    EXPECT_EQ(upgraded.Read(), L"own");
    ASSERT_TRUE(upgraded.Write(L""));
    EXPECT_EQ(upgraded.Read(), L"earlier");
    EXPECT_FALSE(Exists(earlier));

    // An empty folder goes with the journal, its emptied parent too; where no folder can be
    // made, the journal is off and does nothing.
    Win32JournalStore fresh(local.Path() + L"\\Other\\Journal");
    fresh.Remove();
    EXPECT_FALSE(Exists(local.Path() + L"\\Other"));
    Win32JournalStore off(path); // a file of the folder's name
    EXPECT_EQ(off.Folder(), L"");
    EXPECT_TRUE(off.Write(L"x"));
    EXPECT_EQ(off.Read(), std::nullopt);
}

TEST(LatestTextWriter, WritesTheLatestTextOffThreadAndStopWaitsForTheWriteInProgress)
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::wstring> written;
    bool started = false;
    bool release = false;
    const DWORD caller = ::GetCurrentThreadId();
    std::atomic<bool> onCaller{false};
    std::optional<LatestTextWriter> writer(std::in_place,
                                           [&](const std::wstring& text)
                                           {
                                               std::unique_lock lock(mutex);
                                               onCaller =
                                                   onCaller || ::GetCurrentThreadId() == caller;
                                               started = true;
                                               changed.notify_all();
                                               changed.wait(lock, [&] { return release; });
                                               written.push_back(text);
                                               changed.notify_all();
                                               return true;
                                           });
    const auto waitFor = [&](const auto& condition)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), condition);
    };

    // "b" waits behind "a" and is replaced by "c".
    writer->Post(L"a");
    ASSERT_TRUE(waitFor([&] { return started; }));
    writer->Post(L"b");
    writer->Post(L"c");
    {
        const std::lock_guard lock(mutex);
        release = true;
        changed.notify_all();
    }
    ASSERT_TRUE(waitFor([&] { return written.size() == 2; }));
    EXPECT_EQ(written, (std::vector<std::wstring>{L"a", L"c"}));
    EXPECT_FALSE(onCaller);

    // Stop returns only once the write in progress is done; nothing is written afterwards.
    {
        const std::lock_guard lock(mutex);
        started = false;
        release = false;
    }
    writer->Post(L"d");
    ASSERT_TRUE(waitFor([&] { return started; }));
    std::atomic<bool> stopped{false};
    std::thread stopper(
        [&]
        {
            writer->Stop();
            stopped = true;
        });
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < until && !stopped)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(stopped) << "Stop returned while a write was in progress";
    {
        const std::lock_guard lock(mutex);
        release = true;
        changed.notify_all();
    }
    stopper.join();
    writer->Post(L"f");
    // Gone, the writer has ended its thread: whatever it was to write is written by now.
    writer.reset();
    const std::lock_guard lock(mutex);
    EXPECT_EQ(written, (std::vector<std::wstring>{L"a", L"c", L"d"}));
}

// A write that fails (the file held open by another program) is tried again without a new
// text; a newer text replaces the one being retried; Stop ends the retries.
TEST(LatestTextWriter, RetriesAFailedWriteUntilItSucceedsOrANewerTextComes)
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::wstring> tried;
    int failuresLeft = 2;
    LatestTextWriter writer(
        [&](const std::wstring& text)
        {
            const std::lock_guard lock(mutex);
            tried.push_back(text);
            changed.notify_all();
            return text != L"blocked" && failuresLeft-- <= 0;
        },
        std::chrono::milliseconds(1));
    const auto waitFor = [&](const auto& condition)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), condition);
    };

    writer.Post(L"a");
    ASSERT_TRUE(waitFor([&] { return tried.size() == 3; }));
    EXPECT_EQ(tried, (std::vector<std::wstring>{L"a", L"a", L"a"}));

    writer.Post(L"blocked");
    ASSERT_TRUE(waitFor([&] { return tried.size() >= 5; }));
    writer.Post(L"b");
    ASSERT_TRUE(waitFor([&] { return tried.back() == L"b"; }));
    writer.Stop();
    const std::lock_guard lock(mutex);
    EXPECT_EQ(tried.back(), L"b") << "the blocked text was tried again after the newer one";
}

// The C++ library's error is described by the library: its number (EAGAIN, 11) is no Windows one.
TEST(LatestTextWriter, FailureOfTheLibraryIsDescribedByTheLibrary)
{
    const std::system_error error(std::make_error_code(std::errc::resource_unavailable_try_again));
    EXPECT_NE(ExceptionMessage(error).find(AnsiToWide(error.code().message())), std::wstring::npos);
    EXPECT_NE(ExceptionMessage(error), SystemMessage(static_cast<DWORD>(error.code().value())));
}

} // namespace
} // namespace mirufon::win32
