// The fixtures for reading items, proved without the program: each point the fixtures give
// lies over the control they say, and the readers find the texts they promise there, across
// processes for Wine's own regedit and task manager.

#include "e2e/harness/HungTarget.h"
#include "e2e/harness/ItemTargets.h"
#include "e2e/harness/RealPrograms.h"
#include "e2e/harness/SystemChecks.h"
#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/MessageReader.h"

#include <gtest/gtest.h>

#include <thread>

namespace e2e
{
namespace
{

using mirufon::ReaderAnswer;
using mirufon::TextLevel;
using mirufon::win32::MessageReader;
using mirufon::win32::TargetAt;
using mirufon::win32::WithoutPrefixMarks;

HWND ControlAt(POINT point)
{
    return reinterpret_cast<HWND>(TargetAt(point, mirufon::kWholeText).control);
}

ReaderAnswer ReadAt(POINT point)
{
    MessageReader reader;
    return reader.Read(TargetAt(point, mirufon::kWholeText), mirufon::WantedTexts{true, true});
}

HWND WindowFromPointOnAnotherThread(POINT point)
{
    HWND found = nullptr;
    std::thread asker([&] { found = ::WindowFromPoint(point); });
    asker.join();
    return found;
}

std::wstring Lower(std::wstring text)
{
    ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

TEST(FixtureSelfTest, ItemTargetsShowEachItemWhereTheyPlaceIt)
{
    ItemTargets targets;
    ASSERT_NE(targets.Password(), nullptr);
    const struct
    {
        POINT point;
        HWND control;
        std::wstring text;
    } items[] = {
        {targets.ListItemCentre(0), targets.ListBox(), ItemTargets::kListItems[0]},
        {targets.ListItemCentre(2), targets.ListBox(), ItemTargets::kListItems[2]},
        {targets.ListViewCellCentre(0, 0), targets.ListView(), ItemTargets::kRows[0][0]},
        {targets.ListViewCellCentre(1, 1), targets.ListView(), ItemTargets::kRows[1][1]},
        {targets.TreeItemCentre(0), targets.TreeView(), ItemTargets::kTreeItems[0]},
        {targets.TreeItemCentre(2), targets.TreeView(), ItemTargets::kTreeItems[2]},
    };
    for (const auto& item : items)
    {
        EXPECT_EQ(::WindowFromPoint(item.point), item.control) << Utf8(item.text);
        const ReaderAnswer answer = ReadAt(item.point);
        EXPECT_EQ(answer.level, TextLevel::Item) << Utf8(item.text);
        EXPECT_EQ(Utf8(answer.name), Utf8(item.text));
    }
    // The page's controls lie under the group box, which the window manager's hit test finds
    // there when another thread asks, as another program does (the group box's own answer,
    // that it is transparent, is only asked for on its own thread); the probe passes it over.
    const POINT check = ItemTargets::ControlCentre(targets.CheckBox());
    const POINT button = ItemTargets::ControlCentre(targets.Button());
    EXPECT_EQ(WindowFromPointOnAnotherThread(check), targets.GroupBox());
    EXPECT_EQ(WindowFromPointOnAnotherThread(button), targets.GroupBox());
    EXPECT_EQ(ControlAt(check), targets.CheckBox());
    EXPECT_EQ(ControlAt(button), targets.Button());
    EXPECT_EQ(ReadAt(button).name, ItemTargets::kButtonCaption);
    EXPECT_EQ(ControlAt(targets.GroupBlankPoint()), targets.Handle());
    RECT group{};
    ::GetWindowRect(targets.GroupBox(), &group);
    EXPECT_TRUE(::PtInRect(&group, targets.GroupBlankPoint()));

    const POINT password = ItemTargets::ControlCentre(targets.Password());
    EXPECT_EQ(::WindowFromPoint(password), targets.Password());
    EXPECT_TRUE(
        mirufon::win32::IsPasswordBox(ControlAt(password), mirufon::win32::kControlMessageLimit));
    EXPECT_EQ(WindowText(targets.Password()), ItemTargets::kPassword);
}

TEST(FixtureSelfTest, HungTargetAnswersNothingWhileHungAndEverythingAfterwards)
{
    HungTarget hung;
    ASSERT_TRUE(hung.Started());
    EXPECT_EQ(::WindowFromPoint(hung.ButtonCentre()), hung.Button());
    EXPECT_EQ(ReadAt(hung.ButtonCentre()).name, HungTarget::kButtonCaption);

    ASSERT_TRUE(hung.StopResponding(1500ms));
    const auto posted = std::chrono::steady_clock::now();
    hung.PostPing();
    // A sent message is not answered either.
    DWORD_PTR result = 0;
    EXPECT_FALSE(::SendMessageTimeoutW(hung.Button(), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 200,
                                       &result));
    ASSERT_TRUE(WaitUntil([&] { return hung.PingsAnswered() == 1; }, 5s));
    EXPECT_FALSE(hung.IsHung());
    EXPECT_EQ(hung.Recoveries(), 1);
    EXPECT_GE(hung.LastPingAnswered(), hung.LastRecovery())
        << "the ping posted during the hang was handled before the hang ended";
    EXPECT_GE(hung.LastPingAnswered() - posted, 1200ms);

    // Recovered: a ping is handled at once and the button reads again.
    hung.PostPing();
    EXPECT_TRUE(WaitUntil([&] { return hung.PingsAnswered() == 2; }, 1s));
    EXPECT_EQ(ReadAt(hung.ButtonCentre()).name, HungTarget::kButtonCaption);
}

TEST(FixtureSelfTest, RegeditKeysAndValuesAreWhereTheDriverFindsThem)
{
    E2E_SKIP_IF(NeedsWine("Wine's regedit and its prefix's keys"));
    Regedit regedit;
    ASSERT_TRUE(regedit.Started());
    const std::optional<POINT> hive = regedit.KeyPoint(L"HKEY_LOCAL_MACHINE");
    ASSERT_TRUE(hive.has_value());
    EXPECT_EQ(ControlAt(*hive), regedit.TreeView());
    const ReaderAnswer key = ReadAt(*hive);
    EXPECT_EQ(key.level, TextLevel::Item);
    EXPECT_EQ(key.name, L"HKEY_LOCAL_MACHINE");

    ASSERT_TRUE(regedit.OpenKey(L"HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements"));
    const std::optional<POINT> name = regedit.ValuePoint(L"MS UI Gothic", 0);
    const std::optional<POINT> data = regedit.ValuePoint(L"MS UI Gothic", 2);
    ASSERT_TRUE(name && data);
    EXPECT_EQ(ControlAt(*name), regedit.ListView());
    EXPECT_EQ(ReadAt(*name).name, L"MS UI Gothic");
    EXPECT_EQ(ReadAt(*data).name, L"IPAPGothic");
    EXPECT_EQ(regedit.ValueText(L"MS UI Gothic", 2), L"IPAPGothic");
}

TEST(FixtureSelfTest, TaskManagerListsItselfWhereTheDriverFindsIt)
{
    E2E_SKIP_IF(NeedsWine("Wine's task manager, whose processes are a list view"));
    TaskManager taskManager;
    ASSERT_TRUE(taskManager.Started());
    const std::optional<POINT> process = taskManager.ProcessPoint(L"taskmgr.exe");
    ASSERT_TRUE(process.has_value());
    EXPECT_EQ(ControlAt(*process), taskManager.ProcessList());
    const ReaderAnswer answer = ReadAt(*process);
    EXPECT_EQ(answer.level, TextLevel::Item);
    EXPECT_EQ(Lower(answer.name), L"taskmgr.exe");

    // The buttons that act on a selection are disabled while nothing is selected: the window
    // manager's hit test passes them by, the probe does not.
    HWND disabled = taskManager.ShowDisabledButton();
    ASSERT_NE(disabled, nullptr);
    const POINT centre = ItemTargets::ControlCentre(disabled);
    EXPECT_EQ(::WindowFromPoint(centre), ::GetParent(disabled));
    EXPECT_EQ(ControlAt(centre), disabled);
    EXPECT_EQ(Utf8(ReadAt(centre).name), Utf8(WithoutPrefixMarks(WindowText(disabled))));
}

} // namespace
} // namespace e2e
