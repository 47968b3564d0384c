// The journal: the log mirrored to disk while the program runs, offered back after a crash or
// the end of a Windows session, removed by a normal exit.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/LogFiles.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Target.h"
#include "support/Version.h"

#include <gtest/gtest.h>

#include <regex>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

const std::wstring kTitle = testsupport::ExpectedTitle();
const std::wstring kQuestion = L"前回のログが残っています。復元しますか？";

class JournalTest : public ::testing::Test
{
  protected:
    // Captures the element at the point with Shift+key and waits for the log to show expected.
    void Capture(HWND main, POINT at, WORD key, const std::wstring& expected)
    {
        ASSERT_TRUE(MovePointer(at));
        ASSERT_TRUE(PressChord({VK_SHIFT}, key));
        ASSERT_TRUE(WaitForText(main, kIdLog, expected));
    }

    // Waits until the file holds the text as the program writes it.
    static ::testing::AssertionResult Holds(const std::wstring& path, const std::wstring& text)
    {
        return Eventually(
            [&]() -> ::testing::AssertionResult
            {
                const std::optional<std::string> bytes = ReadBytes(path);
                if (bytes == Utf8File(text))
                {
                    return ::testing::AssertionSuccess();
                }
                return ::testing::AssertionFailure()
                       << Utf8(path) << " holds \"" << bytes.value_or("<no file>") << "\"";
            },
            6s);
    }

    // The program's question at start, checked and answered.
    static void AnswerQuestion(const App& app, int button)
    {
        const HWND box = WaitForBox(app, kTitle, IDYES, 15s);
        ASSERT_NE(box, nullptr) << "no question about the earlier log";
        EXPECT_EQ(Utf8(MessageBoxText(box)), Utf8(kQuestion));
        ASSERT_TRUE(Answer(box, button));
    }

    TargetWindow m_target;
};

TEST_F(JournalTest, KilledProgramOffersItsLogOnceToRestoreOrToKeepAside)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    const std::wstring journal = JournalOf(folder);
    const std::wstring name = m_target.ButtonCaption();
    const std::wstring log = name + L"\r\n" + m_target.EditValue() + L"\r\n" + name;
    {
        App app(folder);
        const HWND main = app.MainWindow();
        ASSERT_NE(main, nullptr);
        m_target.BringToFront();
        Capture(main, m_target.ButtonCentre(), 'A', name);
        Capture(main, m_target.EditCentre(), 'Z', name + L"\r\n" + m_target.EditValue());
        ASSERT_TRUE(PressChord({VK_SHIFT}, 'E'));
        Capture(main, m_target.ButtonCentre(), 'A', log);
        ASSERT_TRUE(Holds(journal, log));
        app.Kill();
    }
    {
        App app(folder);
        const HWND box = WaitForBox(app, kTitle, IDYES, 15s);
        ASSERT_NE(box, nullptr) << "no question about the earlier log";
        KeepScreenshot(box, L"journal-question");
        // A second start meanwhile is refused and leaves the journal alone.
        App second(folder, L"mirufon2.exe");
        const HWND refused = WaitForMessageBox(second, L"起動中！", 15s);
        ASSERT_NE(refused, nullptr);
        ASSERT_TRUE(DismissMessageBox(refused));
        ASSERT_TRUE(second.WaitForExit());
        EXPECT_EQ(ReadBytes(journal), Utf8File(log));

        // はい: the exact text, as an ordinary log that the next capture extends.
        ASSERT_TRUE(Answer(box, IDYES));
        const HWND main = app.MainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitForText(main, kIdLog, log));
        m_target.BringToFront();
        Capture(main, m_target.EditCentre(), 'Z', log + L"\r\n" + m_target.EditValue());
        ASSERT_TRUE(app.Close());
        EXPECT_FALSE(ReadBytes(journal).has_value()) << "a normal exit left the journal";
    }
    {
        // Nothing to offer after a normal exit: the window comes up with the introduction.
        App app(folder);
        const HWND main = app.MainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(IsIntroduction(LogText(main), L"改行", L"Shift", L"AZEBGL"));
        m_target.BringToFront();
        Capture(main, m_target.ButtonCentre(), 'A', name);
        ASSERT_TRUE(Holds(journal, name));
        app.Kill();
    }
    {
        // いいえ: the introduction, and the earlier log kept under a dated name.
        App app(folder);
        AnswerQuestion(app, IDNO);
        const HWND main = app.MainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(IsIntroduction(LogText(main), L"改行", L"Shift", L"AZEBGL"));
        const std::vector<std::wstring> kept = FilesIn(JournalFolderOf(folder));
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_TRUE(
            std::regex_match(Utf8(kept[0]), std::regex(R"(mirufon-journal-\d{8}-\d{6}\.txt)")))
            << Utf8(kept[0]);
        EXPECT_EQ(ReadBytes(JournalFolderOf(folder) + L"\\" + kept[0]), Utf8File(name));
        ASSERT_TRUE(app.Close());
    }
}

// After an update over a version that kept the journal beside the program, its journal is
// offered all the same, and from then on the journal lives in %LOCALAPPDATA%\Mirufon\Journal.
// The end of a Windows session writes Conf.txt and the journal, which is kept.
TEST_F(JournalTest, JournalLeftBesideTheProgramIsOfferedAndTheSessionEndKeepsTheLog)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    const std::wstring earlier = folder.File(L"Journal");
    ASSERT_TRUE(::CreateDirectoryW(earlier.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(earlier + L"\\mirufon-journal.txt", Utf8File(L"earlier")));
    const std::wstring journal = JournalOf(folder);
    const std::wstring name = m_target.ButtonCaption();
    const std::wstring log = L"earlier\r\n" + name + L"\r\n" + m_target.EditValue();
    {
        App app(folder);
        AnswerQuestion(app, IDYES);
        const HWND main = app.MainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitForText(main, kIdLog, L"earlier"));
        EXPECT_EQ(::GetFileAttributesW(earlier.c_str()), INVALID_FILE_ATTRIBUTES)
            << "the journal's folder beside the program is still there";
        m_target.BringToFront();
        Capture(main, m_target.ButtonCentre(), 'A', L"earlier\r\n" + name);
        ASSERT_TRUE(Holds(journal, L"earlier\r\n" + name));
        // Windows ends the session right after a capture: the journal is written a last time
        // and kept.
        Capture(main, m_target.EditCentre(), 'Z', log);
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000,
                              &result);
        ASSERT_TRUE(app.WaitForExit());
        EXPECT_EQ(ReadBytes(journal), Utf8File(log));
        EXPECT_TRUE(ReadBytes(folder.File(L"Conf.txt")).has_value()) << "Conf.txt was not saved";
    }
    {
        App app(folder);
        AnswerQuestion(app, IDYES);
        const HWND main = app.MainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitForText(main, kIdLog, log));
        ASSERT_TRUE(app.Close());
        EXPECT_FALSE(ReadBytes(journal).has_value()) << "a normal exit left the journal";
    }
}

} // namespace
} // namespace e2e
