// Harvesting with one key, as a user does: every item of a list, table or tree, or every text of
// a window, becomes one log item that keeps its tabs and line breaks, and cancel-last takes it
// back whole. The fixtures' windows run on a thread of the driver's own; regedit and the task
// manager are programs nobody here wrote.

#include "e2e/AppDriver.h"
#include "e2e/Harness.h"
#include "e2e/Input.h"
#include "e2e/RealPrograms.h"
#include "support/ControlItems.h"
#include "support/HarvestTargets.h"

#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;
using testsupport::CentreOf;
using testsupport::HarvestTargets;

class HarvestTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_app.emplace(m_folder);
        m_main = m_app->MainWindow();
        ASSERT_NE(m_main, nullptr) << "the main window did not appear";
        ASSERT_TRUE(WaitUntil([] { return IsHotkeyTaken(MOD_SHIFT, 'L'); }, 5s));
    }

    // Empties the log, then harvests at the point and waits for the log to show exactly the
    // harvest.
    ::testing::AssertionResult HarvestsExactly(POINT point, const std::wstring& expected)
    {
        if (!ClearLog() || !MovePointer(point) || !PressChord({VK_SHIFT}, 'L'))
        {
            return ::testing::AssertionFailure() << "could not press over the point";
        }
        return WaitForText(m_main, kIdLog, expected, 10s);
    }

    ::testing::AssertionResult ClearLog()
    {
        ::PostMessageW(m_main, WM_COMMAND, kMenuClear, 0);
        return WaitForText(m_main, kIdLog, L"");
    }

    TempFolder m_folder;
    std::optional<App> m_app;
    HWND m_main = nullptr;
};

TEST_F(HarvestTest, ListsTablesTreesAndWindowsEachBecomeOneItem)
{
    // Clear of the main window, which opens in the middle of the screen.
    HarvestTargets targets(POINT{5, 5}, POINT{880, 10}, POINT{835, 580});
    struct Case
    {
        const char* what;
        HWND control;
        std::wstring expected;
    };
    const Case cases[] = {
        {"list box", targets.ListBox(), HarvestTargets::kListBoxText},
        {"combo box", targets.ComboBox(), HarvestTargets::kComboBoxText},
        {"list view with its headings", targets.ListView(), HarvestTargets::kListViewText},
        {"tree view with a collapsed branch", targets.TreeView(), HarvestTargets::kTreeViewText},
        {"status bar", targets.StatusBar(), HarvestTargets::kStatusBarText},
        {"tab control", targets.TabControl(), HarvestTargets::kTabControlText},
        {"a dialog's texts, its password never", targets.DialogLabel(),
         HarvestTargets::kDialogText},
        {"a list that serves its own accessible object", targets.AccessibleList(),
         HarvestTargets::kAccessibleListText},
        {"an accessible table", targets.AccessibleTable(), HarvestTargets::kAccessibleTableText},
        {"an accessible outline", targets.AccessibleOutline(),
         HarvestTargets::kAccessibleOutlineText},
    };
    for (const Case& test : cases)
    {
        EXPECT_TRUE(HarvestsExactly(CentreOf(test.control), test.expected)) << test.what;
    }
    EXPECT_EQ(LogText(m_main).find(HarvestTargets::kDialogPassword), std::wstring::npos);

    // A list whose items are its owner's data: the warning sound and nothing.
    ASSERT_TRUE(ClearLog());
    ASSERT_TRUE(MovePointer(CentreOf(targets.OwnerDrawnList())));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'L'));
    EXPECT_TRUE(StaysText(m_main, kIdLog, L""));

    // After another item, cancel-last takes the harvest back whole, with its separator.
    ASSERT_TRUE(ClearLog());
    ASSERT_TRUE(MovePointer(CentreOf(targets.DialogLabel())));
    ASSERT_TRUE(WaitForText(m_main, kIdPreviewName, L"名前(N):"));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"名前(N):"));
    ASSERT_TRUE(MovePointer(CentreOf(targets.ListBox())));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'L'));
    ASSERT_TRUE(
        WaitForText(m_main, kIdLog, std::wstring(L"名前(N):\r\n") + HarvestTargets::kListBoxText));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'B'));
    EXPECT_TRUE(WaitForText(m_main, kIdLog, L"名前(N):"));
}

TEST_F(HarvestTest, RegeditsValuesAndTheTaskManagersProcesses)
{
    Regedit regedit;
    ASSERT_TRUE(regedit.Started()) << "regedit did not start";
    ASSERT_TRUE(regedit.OpenKey(L"HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements"));
    ASSERT_TRUE(ClearLog());
    ASSERT_TRUE(MovePointer(CentreOf(regedit.ListView())));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'L'));
    EXPECT_TRUE(Eventually(
        [&]
        {
            const std::wstring log = LogText(m_main);
            if (log.rfind(L"名前\t型\tデータ\r\n", 0) == 0 &&
                log.find(L"\r\nMS UI Gothic\tREG_SZ\tIPAPGothic") != std::wstring::npos)
            {
                return ::testing::AssertionSuccess();
            }
            return ::testing::AssertionFailure() << Utf8(log);
        },
        10s));

    TaskManager taskManager;
    ASSERT_TRUE(taskManager.Started()) << "the task manager did not start";
    // Once its list shows the task manager itself.
    const std::optional<POINT> process = taskManager.ProcessPoint(L"taskmgr.exe");
    ASSERT_TRUE(process.has_value());
    ASSERT_TRUE(ClearLog());
    ASSERT_TRUE(MovePointer(*process));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'L'));
    EXPECT_TRUE(Eventually(
        [&]
        {
            const std::wstring log = LogText(m_main);
            if (log.rfind(L"イメージ名\tPID\t", 0) == 0 &&
                log.find(L"\r\ntaskmgr.exe\t") != std::wstring::npos)
            {
                return ::testing::AssertionSuccess();
            }
            return ::testing::AssertionFailure() << Utf8(log);
        },
        10s));
}

} // namespace
} // namespace e2e
