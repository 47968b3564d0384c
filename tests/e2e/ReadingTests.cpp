// Reading what lies under the pointer, driven as a user would: a program that stops answering
// never freezes ours, items of lists and trees are captured by name, a password is never read,
// and the same holds for programs nobody here wrote (Wine's regedit and task manager).

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/HungTarget.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/ItemTargets.h"
#include "e2e/harness/RealPrograms.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Target.h"

#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

const std::wstring kNoResponse = L"（応答なし）";

class ReadingTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_app.emplace(m_folder);
        m_main = m_app->MainWindow();
        ASSERT_NE(m_main, nullptr) << "the main window did not appear";
        ASSERT_TRUE(WaitUntil([] { return IsHotkeyTaken(MOD_SHIFT, 'G'); }, 5s));
    }

    // Points at an element and waits until the preview shows its name: the program has read
    // it, so a capture now reads the same element.
    ::testing::AssertionResult PointAt(POINT point, const std::wstring& name)
    {
        if (!MovePointer(point))
        {
            return ::testing::AssertionFailure() << "the pointer did not get there";
        }
        return WaitForText(m_main, kIdPreviewName, name);
    }

    // Captures the name under the pointer and waits for the log to end with it.
    ::testing::AssertionResult CaptureName(const std::wstring& expected)
    {
        const std::wstring before = LogText(m_main);
        if (!PressChord({VK_SHIFT}, 'A'))
        {
            return ::testing::AssertionFailure() << "the key did not go in";
        }
        std::wstring now;
        if (WaitUntil(
                [&]
                {
                    now = LogText(m_main);
                    return now != before && now.size() >= expected.size() &&
                           now.compare(now.size() - expected.size(), expected.size(), expected) ==
                               0;
                },
                5s))
        {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "the log shows \"" << Utf8(now) << "\", expected it to end with \""
               << Utf8(expected) << "\"";
    }

    TempFolder m_folder;
    std::optional<App> m_app;
    HWND m_main = nullptr;
};

TEST_F(ReadingTest, AProgramThatStopsAnsweringNeverHoldsUpOurs)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    HungTarget hung;
    ASSERT_TRUE(hung.Started());
    TargetWindow responding(OnThisScreen(POINT{870, 30}));
    ASSERT_TRUE(PointAt(hung.ButtonCentre(), HungTarget::kButtonCaption));
    ASSERT_TRUE(hung.StopResponding(12s));
    const auto answersAgain = std::chrono::steady_clock::now() + 12s;

    // The preview gives up on it and says so, and follows the pointer elsewhere at once.
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewName, kNoResponse, 2s));
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewValue, L"", 1s));
    ASSERT_TRUE(MovePointer(responding.ButtonCentre()));
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewName, responding.ButtonCaption(), 1s));
    // A capture over the responding window arrives meanwhile.
    ASSERT_TRUE(CaptureName(responding.ButtonCaption()));

    // Over the hung window a capture waits for it, and when it still does not answer within
    // the capture's deadline, appends nothing and shows the notice.
    ASSERT_TRUE(MovePointer(hung.ButtonCentre()));
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewName, kNoResponse, 2s));
    const std::wstring before = LogText(m_main);
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    EXPECT_TRUE(StaysText(m_main, kIdLog, before, 1500ms));
    EXPECT_EQ(Utf8(ControlText(m_main, kIdPreviewName)), Utf8(kNoResponse));
    EXPECT_TRUE(hung.IsHung()) << "the hang ended before the test was done";

    // A press half a second before it answers again waits for it and captures it; so does the
    // first press after, the preview not awaited.
    PumpMessages(std::chrono::duration_cast<std::chrono::milliseconds>(
        answersAgain - 500ms - std::chrono::steady_clock::now()));
    ASSERT_TRUE(hung.IsHung());
    EXPECT_TRUE(CaptureName(L"\r\n" + std::wstring(HungTarget::kButtonCaption)));
    ASSERT_TRUE(hung.WaitUntilRecovered(20s));
    EXPECT_TRUE(CaptureName(L"\r\n" + std::wstring(HungTarget::kButtonCaption)));
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewName, HungTarget::kButtonCaption, 3s));

    // The program ends normally, its settings saved, while a read is stuck in the other one.
    ASSERT_TRUE(hung.StopResponding(30s));
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewName, kNoResponse, 2s));
    const auto closing = std::chrono::steady_clock::now();
    ::PostMessageW(m_main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_app->WaitForExit(5s));
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 1s);
    EXPECT_TRUE(ReadBytes(m_folder.File(L"Conf.txt")).has_value());
}

TEST_F(ReadingTest, ItemsOfListsAndTreesAreCapturedAndPasswordsNeverRead)
{
    ItemTargets items;
    ASSERT_NE(items.Password(), nullptr);
    // The list box, a list view's item and sub-item, the tree view, and the controls of a page
    // that a group box covers.
    const std::pair<POINT, std::wstring> points[] = {
        {items.ListItemCentre(2), ItemTargets::kListItems[2]},
        {items.ListViewCellCentre(0, 0), ItemTargets::kRows[0][0]},
        {items.ListViewCellCentre(1, 1), ItemTargets::kRows[1][1]},
        {items.TreeItemCentre(1), ItemTargets::kTreeItems[1]},
        {ItemTargets::ControlCentre(items.CheckBox()), ItemTargets::kCheckBoxCaption},
        {ItemTargets::ControlCentre(items.Button()), ItemTargets::kButtonCaption},
    };
    for (const auto& [point, text] : points)
    {
        ASSERT_TRUE(PointAt(point, text)) << Utf8(text);
        ASSERT_TRUE(CaptureName(text)) << Utf8(text);
    }

    // The password edit: the preview shows nothing of it, and no capture brings its text.
    ASSERT_TRUE(MovePointer(ItemTargets::ControlCentre(items.Password())));
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewName, L""));
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewValue, L""));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Z'));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    EXPECT_TRUE(StaysText(m_main, kIdPreviewValue, L"", 1s));
    EXPECT_EQ(LogText(m_main).find(L"secret"), std::wstring::npos) << Utf8(LogText(m_main));
}

TEST_F(ReadingTest, HugeTextsLeaveTheWindowResponsiveAndAreCapturedWhole)
{
    // An edit box of the driver's holding two million characters, in lines.
    const POINT at = OnThisScreen(POINT{900, 60});
    HWND edit = ::CreateWindowExW(WS_EX_TOPMOST, L"EDIT", L"",
                                  WS_POPUP | WS_VISIBLE | WS_BORDER | ES_MULTILINE | WS_VSCROLL,
                                  at.x, at.y, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    std::wstring huge;
    for (int line = 0; huge.size() < 2'000'000; ++line)
    {
        huge += L"行 " + std::to_wstring(line) + std::wstring(90, L'x') + L"\r\n";
    }
    ::SendMessageW(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(huge.c_str()));
    RECT area{};
    ::GetWindowRect(edit, &area);
    ASSERT_TRUE(MovePointer(POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2}));

    // The preview shows the beginning only, and the window answers at once meanwhile.
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewValue, huge.substr(0, 4096)));
    HWND log = Control(m_main, kIdLog);
    for (WORD margin : {3, 4, 5})
    {
        ::PostMessageW(log, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(margin, 0));
        EXPECT_TRUE(WaitUntil(
            [&] { return LOWORD(::SendMessageW(log, EM_GETMARGINS, 0, 0)) == margin; }, 1s))
            << "the window did not take a posted message within a second";
    }

    // A capture appends the whole text.
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Z'));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0) == static_cast<LRESULT>(huge.size());
        },
        30s));
    EXPECT_TRUE(LogText(m_main) == huge) << "the captured text differs";
    ::DestroyWindow(edit);
}

TEST_F(ReadingTest, KeysInRegeditAndProcessesInTheTaskManager)
{
    E2E_SKIP_IF(NeedsWine("Wine's regedit and task manager, and its prefix's keys"));
    Regedit regedit;
    ASSERT_TRUE(regedit.Started()) << "regedit did not start";
    const std::optional<POINT> key = regedit.KeyPoint(L"HKEY_LOCAL_MACHINE");
    ASSERT_TRUE(key.has_value());
    ASSERT_TRUE(PointAt(*key, L"HKEY_LOCAL_MACHINE"));
    ASSERT_TRUE(CaptureName(L"HKEY_LOCAL_MACHINE"));
    ASSERT_TRUE(regedit.OpenKey(L"HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements"));
    const std::optional<POINT> value = regedit.ValuePoint(L"MS UI Gothic");
    ASSERT_TRUE(value.has_value());
    ASSERT_TRUE(PointAt(*value, L"MS UI Gothic"));
    ASSERT_TRUE(CaptureName(L"MS UI Gothic"));

    TaskManager taskManager;
    ASSERT_TRUE(taskManager.Started()) << "the task manager did not start";
    const std::optional<POINT> process = taskManager.ProcessPoint(L"taskmgr.exe");
    ASSERT_TRUE(process.has_value());
    ASSERT_TRUE(PointAt(*process, L"taskmgr.exe"));
    ASSERT_TRUE(CaptureName(L"taskmgr.exe"));
}

} // namespace
} // namespace e2e
