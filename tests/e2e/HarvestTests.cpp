// Harvesting with one key, as a user does: every item of a list, table or tree, or every text of
// a window, becomes one log item that keeps its tabs and line breaks, and cancel-last takes it
// back whole. The fixtures' windows run on a thread of the driver's own; regedit and the task
// manager are programs nobody here wrote. Controls that answer like hostile programs' give the
// right text and leave no memory of the program's behind in this one.

#include "capture/ElementReader.h"
#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/RealPrograms.h"
#include "e2e/harness/SystemChecks.h"
#include "platform/win32/reading/ControlSession.h"
#include "support/ControlItems.h"
#include "support/HarvestTargets.h"
#include "support/HostileControls.h"

#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;
using testsupport::CentreOf;
using testsupport::HarvestTargets;
using testsupport::HostileControls;

// The blocks of memory the program has put into this process for its reads and still holds.
std::size_t BlocksInThisProcess()
{
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const std::size_t committed =
        (kBlockBytes + system.dwPageSize - 1) / system.dwPageSize * system.dwPageSize;
    std::size_t blocks = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (auto* place = static_cast<char*>(system.lpMinimumApplicationAddress);
         place < system.lpMaximumApplicationAddress &&
         ::VirtualQuery(place, &region, sizeof region) == sizeof region;
         place = static_cast<char*>(region.BaseAddress) + region.RegionSize)
    {
        blocks += region.State == MEM_COMMIT && region.Type == MEM_PRIVATE &&
                  region.BaseAddress == region.AllocationBase && region.RegionSize == committed;
    }
    return blocks;
}

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

    // Empties the log, then captures the name at the point once the preview shows it, and
    // waits for the log to show exactly that.
    ::testing::AssertionResult CapturesExactly(POINT point, const std::wstring& expected)
    {
        if (!ClearLog() || !MovePointer(point) ||
            !WaitForText(m_main, kIdPreviewName, expected.substr(0, mirufon::kPreviewChars)) ||
            !PressChord({VK_SHIFT}, 'A'))
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
    HarvestTargets targets(OnThisScreen(POINT{5, 5}), OnThisScreen(POINT{880, 10}),
                           OnThisScreen(POINT{835, 580}));
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
        // Each harvest is checked where the password could be: in the log it has just filled.
        EXPECT_EQ(LogText(m_main).find(HarvestTargets::kDialogPassword), std::wstring::npos)
            << test.what;
    }

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

TEST_F(HarvestTest, HostileControlsGiveTheRightTextAndLeaveNothingBehind)
{
    HostileControls hostile(OnThisScreen(POINT{5, 5}), OnThisScreen(POINT{880, 10}));
    const std::size_t blocksBefore = BlocksInThisProcess();
    struct AtPoint
    {
        const char* what;
        POINT point;
        std::wstring expected;
    };
    const AtPoint harvests[] = {
        {"items with a NUL inside, or longer told than written", CentreOf(hostile.lyingList),
         HostileControls::kLyingListText},
        {"a tree whose next item leads back", CentreOf(hostile.loopingTree),
         HostileControls::kLoopingTreeText},
        {"a status bar part over 65,535 characters",
         testsupport::StatusPartCentre(hostile.longStatus, 0), HostileControls::LongStatusText()},
        {"a tab that is gone when asked for", CentreOf(hostile.vanishingTabs),
         HostileControls::kVanishingTabsText},
        {"accessible children with empty entries and an empty batch", CentreOf(hostile.gappedList),
         HostileControls::kGappedListText},
        {"a list that goes away while it is read: what it told stands, no notice",
         CentreOf(hostile.vanishingList), HostileControls::kVanishingListText},
        {"a window's texts: another toolkit's password box is never read",
         CentreOf(hostile.passwordLabel), HostileControls::kPasswordWindowText},
        {"a list that answers every cell late, its rows read at once longer than a deadline",
         CentreOf(hostile.slowList), HostileControls::SlowListText()},
    };
    for (const auto& harvest : harvests)
    {
        EXPECT_TRUE(HarvestsExactly(harvest.point, harvest.expected)) << harvest.what;
    }

    // The stop key pressed while the slow list is being read: the harvest ends with nothing
    // appended, and the program is stopped. Unstopped, the harvest would be in within seconds.
    ASSERT_TRUE(ClearLog());
    ASSERT_TRUE(MovePointer(CentreOf(hostile.slowList)));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'L'));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'G'));
    EXPECT_TRUE(WaitForLogFrame(m_main, RGB(248, 248, 248))) << "not stopped";
    EXPECT_TRUE(StaysText(m_main, kIdLog, L"", 5s)) << "the harvest went on after the stop key";
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'G'));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"AL", L"")) << "after resume";

    // A capture takes the item under the point: the text before the NUL, the cell of the fourth
    // column although the list view's accessible object answers by row, the whole long part.
    const AtPoint captures[] = {
        {"an item with a NUL inside", testsupport::ListBoxItemCentre(hostile.lyingList, 1),
         HostileControls::kItemWithNul},
        {"a cell of the fourth column",
         testsupport::ListViewCellCentre(hostile.rowAnsweringList, 1, 3),
         HostileControls::kRows[1][3]},
        {"a status bar part over 65,535 characters",
         testsupport::StatusPartCentre(hostile.longStatus, 1), HostileControls::LongPart()},
    };
    for (const auto& capture : captures)
    {
        EXPECT_TRUE(CapturesExactly(capture.point, capture.expected)) << capture.what;
    }

    // Another toolkit's password box: the preview shows nothing of it, no capture brings it.
    ASSERT_TRUE(ClearLog());
    ASSERT_TRUE(MovePointer(CentreOf(hostile.foreignPassword)));
    EXPECT_TRUE(WaitForText(m_main, kIdPreviewName, L""));
    EXPECT_TRUE(StaysText(m_main, kIdPreviewValue, L"", 1s));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Z'));
    EXPECT_TRUE(StaysText(m_main, kIdPreviewValue, L"", 1s));
    EXPECT_EQ(LogText(m_main).find(HostileControls::kPassword), std::wstring::npos);
    EXPECT_EQ(BlocksInThisProcess(), blocksBefore) << "a read left its memory behind";

    // Ended while a harvest reads the million rows: the memory it put here is freed.
    ASSERT_TRUE(MovePointer(CentreOf(hostile.blankRows)));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'L'));
    ASSERT_TRUE(WaitUntil([&] { return BlocksInThisProcess() > blocksBefore; }, 10s));
    ::PostMessageW(m_main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_app->WaitForExit(10s));
    EXPECT_EQ(BlocksInThisProcess(), blocksBefore);
}

TEST_F(HarvestTest, RegeditsValuesAndTheTaskManagersProcesses)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    E2E_SKIP_IF(NeedsWine("Wine's regedit and task manager, and its prefix's keys"));
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
