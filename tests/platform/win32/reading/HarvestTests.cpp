#include "platform/win32/reading/Harvesting.h"
#include "platform/win32/window/ComApartment.h"
#include "support/ControlItems.h"
#include "support/HarvestTargets.h"
#include "support/HostileControls.h"
#include "support/MessagePump.h"
#include "text/UiText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <string>

namespace mirufon::win32
{
namespace
{

using namespace std::chrono_literals;
using testsupport::CentreOf;
using testsupport::HarvestTargets;

class TestProgress final : public ReadProgress
{
  public:
    // Called on the harvest's thread as items arrive, with how often the program answered.
    std::function<void(std::size_t)> onAnswers;
    std::atomic<bool> cancelled{false};

    void Answering(std::size_t) override
    {
        if (onAnswers)
        {
            onAnswers(++m_answers);
        }
    }
    bool Cancelled() const override { return cancelled; }

  private:
    std::size_t m_answers = 0;
};

struct Harvested
{
    HarvestOutcome outcome = HarvestOutcome::NothingToRead;
    std::wstring text;
    std::chrono::milliseconds took{};
};

// On a worker with COM multithreaded, as the program harvests.
Harvested HarvestOnWorker(POINT point, TestProgress& progress, HarvestLimits limits = {})
{
    return std::async(std::launch::async,
                      [point, &progress, limits]
                      {
                          const ComApartment apartment(COINIT_MULTITHREADED);
                          HarvestSink sink(progress, limits);
                          const auto start = std::chrono::steady_clock::now();
                          const HarvestOutcome outcome = HarvestAt(::WindowFromPoint(point), point, sink);
                          return Harvested{outcome, sink.TakeText(),
                                           std::chrono::duration_cast<std::chrono::milliseconds>(
                                               std::chrono::steady_clock::now() - start)};
                      })
        .get();
}

Harvested HarvestOnWorker(POINT point)
{
    TestProgress progress;
    return HarvestOnWorker(point, progress);
}

// What the end-to-end scenario cannot point at through the program: a combo box's edit box, a
// header alone, a cell too long for a row's read, a drop-down list while it is open. (Every
// other fixture's exact text is checked there, through the real program.)
TEST(HarvestTest, PartsOfControlsGiveTheirWholeControlsText)
{
    HarvestTargets targets;
    const HWND header = ListView_GetHeader(targets.ListView());
    COMBOBOXINFO editable{};
    editable.cbSize = sizeof editable;
    ASSERT_TRUE(::GetComboBoxInfo(targets.EditableCombo(), &editable));
    const struct
    {
        POINT point;
        HarvestOutcome outcome;
        std::wstring text;
        const char* why;
    } cases[] = {
        {CentreOf(editable.hwndItem), HarvestOutcome::Harvested, HarvestTargets::kEditableComboText,
         "the edit box of a combo box"},
        {testsupport::HeaderItemCentre(header, 0), HarvestOutcome::Harvested,
         HarvestTargets::kHeaderText, "the list view's header alone"},
        {CentreOf(targets.ListViewWithoutHeadings()), HarvestOutcome::Harvested,
         HarvestTargets::ListViewWithoutHeadingsText(), "list view without headings"},
    };
    for (const auto& c : cases)
    {
        const Harvested harvested = HarvestOnWorker(c.point);
        EXPECT_EQ(harvested.outcome, c.outcome) << c.why;
        EXPECT_EQ(harvested.text, c.text) << c.why;
    }

    // The combo box's drop-down list, while it is open.
    ::SendMessageW(targets.ComboBox(), CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    ASSERT_TRUE(::GetComboBoxInfo(targets.ComboBox(), &combo));
    ASSERT_TRUE(testsupport::DispatchUntil([&] { return ::IsWindowVisible(combo.hwndList); }, 2s));
    const Harvested dropped = HarvestOnWorker(CentreOf(combo.hwndList));
    ::SendMessageW(targets.ComboBox(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(dropped.text, HarvestTargets::kComboBoxText);
}

TEST(HarvestTest, StopsWhenCancelledAndGivesUpOnAListThatStopsAnswering)
{
    HarvestTargets targets;
    TestProgress cancelling;
    cancelling.onAnswers = [&](std::size_t answers) { cancelling.cancelled = answers == 2; };
    const Harvested cancelled = HarvestOnWorker(CentreOf(targets.ListBox()), cancelling);
    EXPECT_EQ(cancelled.outcome, HarvestOutcome::Cancelled);

    // The list view's thread stops answering once the headings have arrived.
    TestProgress stalling;
    stalling.onAnswers = [&](std::size_t answers)
    {
        if (answers == 1)
        {
            targets.Thread().Stall(3s);
        }
    };
    const POINT cell = testsupport::ListViewCellCentre(targets.ListView(), 0, 0);
    const Harvested stalled = HarvestOnWorker(cell, stalling);
    EXPECT_TRUE(targets.Thread().Stalled()) << "the stall ended before the harvest did";
    EXPECT_EQ(stalled.outcome, HarvestOutcome::NotAnswering);
    EXPECT_LT(stalled.took, 1500ms) << "a harvest of a hung list must not last as long as the hang";
    targets.Thread().Release();
    ASSERT_TRUE(testsupport::DispatchUntil([&] { return !targets.Thread().Stalled(); }, 3s));
    EXPECT_EQ(HarvestOnWorker(cell).text, HarvestTargets::kListViewText);
}

// A window's texts beside a million blank rows end at the line limit, as a million texts would:
// blank rows are left out but counted. (A thousand lines here; the program's limit is a
// hundred thousand, which Wine takes a minute to read across processes.)
TEST(HarvestTest, BlankRowsCountTowardTheLimits)
{
    testsupport::HostileControls hostile;
    TestProgress progress;
    const Harvested harvested =
        HarvestOnWorker(CentreOf(hostile.blankRowsButton), progress, HarvestLimits{1000});
    EXPECT_EQ(harvested.outcome, HarvestOutcome::Harvested);
    EXPECT_EQ(harvested.text, std::wstring(testsupport::HostileControls::kBlankRowsTitle) +
                                  L"\r\n" + testsupport::HostileControls::kButtonCaption + L"\r\n" +
                                  std::wstring(Text(UiText::HarvestCut)));
}

} // namespace
} // namespace mirufon::win32
