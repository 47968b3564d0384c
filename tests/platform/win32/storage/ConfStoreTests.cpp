#include "platform/win32/storage/FileContents.h"
#include "platform/win32/storage/TextCodec.h"
#include "platform/win32/storage/Win32ConfStore.h"
#include "platform/win32/window/Handles.h"
#include "settings/ConfFile.h"
#include "settings/ConfText.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace mirufon::win32
{
namespace
{

class ConfStoreTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, base);
        m_folder = std::wstring(base) + L"mirufon-conf-" +
                   std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++s_counter);
        ASSERT_TRUE(::CreateDirectoryW(m_folder.c_str(), nullptr));
        m_path = m_folder + L"\\Conf.txt";
    }
    void TearDown() override
    {
        ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(m_path.c_str());
        ::RemoveDirectoryW((m_path + L".new").c_str());
        ::DeleteFileW((m_path + L".new").c_str());
        ::RemoveDirectoryW(m_path.c_str());
        ::RemoveDirectoryW(m_folder.c_str());
    }

    void WriteRaw(const std::string& bytes) { ASSERT_TRUE(testsupport::WriteBytes(m_path, bytes)); }

    std::string ReadRaw() const { return testsupport::ReadBytes(m_path).value_or("<missing>"); }

    static inline int s_counter = 0;
    std::wstring m_folder;
    std::wstring m_path;
};

TEST(TextCodec, JapaneseTextUsesCodePage932)
{
    ASSERT_EQ(::GetACP(), 932u) << "the tests run with the Japanese ANSI code page";
    EXPECT_EQ(WideToAnsi(L"右下隅"), "\x89\x45\x89\xBA\x8B\xF7");
    EXPECT_EQ(AnsiToWide("\x89\x45\x89\xBA\x8B\xF7"), L"右下隅");
    EXPECT_EQ(AnsiToWide(WideToAnsi(L"key = ｶﾅ ＡＢＣ")), L"key = ｶﾅ ＡＢＣ");
    EXPECT_EQ(AnsiToWide(""), L"");
}

TEST_F(ConfStoreTest, AbsentDirectoryHiddenAndSystemFilesReadAsNoFile)
{
    Win32ConfStore store(m_path);
    EXPECT_FALSE(store.Read().has_value());

    ASSERT_TRUE(::CreateDirectoryW(m_path.c_str(), nullptr));
    EXPECT_FALSE(store.Read().has_value());
    ::RemoveDirectoryW(m_path.c_str());

    WriteRaw("key get name = Q\r\n");
    ASSERT_TRUE(store.Read().has_value());
    ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(store.Read().has_value());
    ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_FALSE(store.Read().has_value());
}

TEST_F(ConfStoreTest, WriteReplacesTheFileAndReadsBackInTheAnsiCodePage)
{
    WriteRaw(std::string(5000, 'x'));
    Win32ConfStore store(m_path);
    ASSERT_TRUE(store.Write(L"disp pos = 右下隅\r\n").ok);
    EXPECT_EQ(ReadRaw(), "disp pos = \x89\x45\x89\xBA\x8B\xF7\r\n");
    EXPECT_EQ(store.Read(), std::optional<std::wstring>(L"disp pos = 右下隅\r\n"));
}

std::string Utf16(std::wstring_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t unit : text)
    {
        const char pair[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        bytes += bigEndian ? std::string{pair[1], pair[0]} : std::string{pair[0], pair[1]};
    }
    return bytes;
}

TEST_F(ConfStoreTest, UtfFilesAreReadWholeAndWrittenBackInTheirOwnEncoding)
{
    // Lines in the order of their keys: the store gives the lines the settings come from.
    const std::wstring text = L"disp pos = 左上隅 ｶﾅ €\r\nkey get name = Q\r\n";
    const std::wstring saved = L"disp pos = 右下隅 ｶﾅ €\r\n";
    const std::string utf8 = "disp pos = \xE5\xB7\xA6\xE4\xB8\x8A\xE9\x9A\x85 "
                             "\xEF\xBD\xB6\xEF\xBE\x85 \xE2\x82\xAC\r\nkey get name = Q\r\n";
    const std::string savedUtf8 = "disp pos = \xE5\x8F\xB3\xE4\xB8\x8B\xE9\x9A\x85 "
                                  "\xEF\xBD\xB6\xEF\xBE\x85 \xE2\x82\xAC\r\n";
    struct Case
    {
        const char* what;
        std::string bytes;
        std::string written;
    };
    const Case cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF" + utf8, "\xEF\xBB\xBF" + savedUtf8},
        {"UTF-8", utf8, savedUtf8},
        {"UTF-16 LE", Utf16(text, false), Utf16(saved, false)},
        {"UTF-16 BE", Utf16(text, true), Utf16(saved, true)},
    };
    for (const Case& c : cases)
    {
        WriteRaw(c.bytes);
        Win32ConfStore store(m_path);
        EXPECT_EQ(store.Read(), std::optional<std::wstring>(text)) << c.what;
        ASSERT_TRUE(store.Write(saved).ok) << c.what;
        EXPECT_EQ(ReadRaw(), c.written) << c.what;
    }

    // A file in the ANSI code page stays in it.
    WriteRaw("disp pos = \x8D\xB6\x8F\xE3\x8B\xF7\r\n");
    Win32ConfStore store(m_path);
    EXPECT_EQ(store.Read(), std::optional<std::wstring>(L"disp pos = 左上隅\r\n"));
    ASSERT_TRUE(store.Write(L"disp pos = 右下隅\r\n").ok);
    EXPECT_EQ(ReadRaw(), "disp pos = \x89\x45\x89\xBA\x8B\xF7\r\n");
}

// Code page 932 lacks Hangul (as 1252 lacks Japanese): such text goes to UTF-8 with a mark, and
// stays there. (Text that ANSI holds is written in ANSI: the tests above.)
TEST_F(ConfStoreTest, TextTheAnsiCodePageCannotHoldIsWrittenAsUtf8WithAMark)
{
    const std::wstring text = L"disp pos = 左上隅 한글\r\n";
    Win32ConfStore store(m_path);
    ASSERT_TRUE(store.Write(text).ok);
    EXPECT_EQ(ReadRaw(), "\xEF\xBB\xBF"
                         "disp pos = \xE5\xB7\xA6\xE4\xB8\x8A\xE9\x9A\x85 "
                         "\xED\x95\x9C\xEA\xB8\x80\r\n");
    Win32ConfStore again(m_path);
    EXPECT_EQ(again.Read(), std::optional<std::wstring>(text));
    ASSERT_TRUE(again.Write(L"disp pos = 右下隅\r\n").ok);
    EXPECT_EQ(ReadRaw().substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(ConfStoreTest, LeftoverOfAnInterruptedSaveGoesAtTheRead)
{
    const std::wstring temporary = m_path + L".new";
    for (const bool withConf : {true, false})
    {
        if (withConf)
        {
            WriteRaw("key get name = Q\r\n");
        }
        else
        {
            ::DeleteFileW(m_path.c_str());
        }
        UniqueFile leftover(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(leftover);
        leftover.Reset();
        Win32ConfStore store(m_path);
        EXPECT_EQ(store.Read().has_value(), withConf);
        EXPECT_EQ(::GetFileAttributesW(temporary.c_str()), INVALID_FILE_ATTRIBUTES) << withConf;
    }
}

TEST_F(ConfStoreTest, FailedWriteLeavesTheOldFileWhole)
{
    const std::string old = "key back = D\r\nkey stop = H\r\n";
    WriteRaw(old);
    // The new file cannot be created where a folder of its name stands.
    ASSERT_TRUE(::CreateDirectoryW((m_path + L".new").c_str(), nullptr));
    Win32ConfStore store(m_path);
    const StoreWrite written = store.Write(L"form left = 1\r\n");
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.error.empty()) << "the system's reason goes with the failure";
    EXPECT_EQ(ReadRaw(), old);
}

// Antivirus, the search indexer or a sync client holding the file for a moment (errors 5 and
// 32): the move is tried again, and succeeds once it lets go; other failures are final at once.
TEST_F(ConfStoreTest, ReplacementWaitsForAProgramThatHoldsTheFileForAMoment)
{
    struct Case
    {
        std::vector<DWORD> failures; // of the first moves, in turn
        DWORD result;
    };
    const Case cases[] = {{{ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}, 0},
                          {{ERROR_PATH_NOT_FOUND}, ERROR_PATH_NOT_FOUND}};
    for (const Case& c : cases)
    {
        WriteRaw("old");
        std::size_t moves = 0;
        const auto move = [&](const std::wstring& from, const std::wstring& to)
        { return ++moves <= c.failures.size() ? c.failures[moves - 1] : MoveOver(from, to); };
        EXPECT_EQ(ReplaceFileWith(m_path, m_path + L".new", "new", std::chrono::seconds(2), move),
                  c.result);
        EXPECT_EQ(moves, c.result == 0 ? c.failures.size() + 1 : 1u);
        EXPECT_EQ(ReadRaw(), c.result == 0 ? "new" : "old");
        EXPECT_EQ(::GetFileAttributesW((m_path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(ConfStoreTest, SettingsSurviveASaveAndALoad)
{
    Win32ConfStore store(m_path);
    Settings saved;
    saved.nameKey = L"Q";
    saved.tabSeparated = 1;
    saved.popupPosition = L"左上隅";
    saved.searchString = L"ｶﾅ 漢字  ";
    ASSERT_TRUE(WriteConf(store, saved, WindowGeometry{1500, 1200, 7000, 4000}).ok);

    Settings loaded;
    ReadConf(store, loaded);
    EXPECT_EQ(loaded.windowLeft, 1500);
    EXPECT_EQ(loaded.windowWidth, 7000);
    EXPECT_EQ(loaded.nameKey, L"Q");
    EXPECT_EQ(loaded.popupPosition, L"左上隅");
    EXPECT_EQ(loaded.searchString, L"ｶﾅ 漢字  ");
    EXPECT_EQ(loaded.separator, L"\t");
}

} // namespace
} // namespace mirufon::win32
