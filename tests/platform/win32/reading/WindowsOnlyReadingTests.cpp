// What Windows does and Wine does not show, played below the readers: a program run as
// administrator refuses messages and its memory (error 5), a program of the other bitness
// leaves only Active Accessibility, a window that is not per-monitor aware reads points in its
// own logical units, and a browser tells its elements only from its second hit test on.

#include "platform/win32/ControlWindow.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/ElementReading.h"
#include "platform/win32/reading/Harvesting.h"
#include "platform/win32/reading/TargetCalls.h"
#include "platform/win32/window/ComApartment.h"
#include "support/HostileControls.h"

#include <gtest/gtest.h>

#include <future>

namespace mirufon::win32
{
namespace
{

using namespace mirufon::win32::testing;
using testsupport::HostileControls;

// Puts the system's calls back when it goes.
class InjectedCalls
{
  public:
    InjectedCalls() : m_saved(CallsIntoTargets()) {}
    InjectedCalls(const InjectedCalls&) = delete;
    InjectedCalls& operator=(const InjectedCalls&) = delete;
    ~InjectedCalls() { CallsIntoTargets() = m_saved; }

  private:
    TargetCalls m_saved;
};

LRESULT WINAPI RefusedMessage(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR)
{
    ::SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

HANDLE WINAPI RefusedProcess(DWORD, BOOL, DWORD)
{
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

// This program 64-bit, every other process handle a 32-bit one.
BOOL WINAPI OtherBitness(HANDLE process, PBOOL wow64)
{
    *wow64 = process == ::GetCurrentProcess() ? FALSE : TRUE;
    return TRUE;
}

// A window that is not per-monitor aware, on a monitor scaled to 150 %.
BOOL WINAPI UnawareAt150(HWND, LPPOINT point)
{
    point->x = point->x * 2 / 3;
    point->y = point->y * 2 / 3;
    return TRUE;
}

class QuietProgress final : public ReadProgress
{
  public:
    void Answering(std::size_t) override {}
    bool Cancelled() const override { return false; }
};

// The read a worker makes, on the calling thread (whose COM is initialised).
ElementTexts ReadHere(POINT point, WantedTexts wanted)
{
    QuietProgress progress;
    ReadRequest request;
    request.x = point.x;
    request.y = point.y;
    request.window = reinterpret_cast<std::uintptr_t>(::WindowFromPoint(point));
    request.wanted = wanted;
    return ReadElementAt(request, progress);
}

// On a worker with COM multithreaded, as the program reads windows of another thread.
template <typename Work> auto OnWorker(Work work)
{
    return std::async(std::launch::async,
                      [work]
                      {
                          const ComApartment apartment(COINIT_MULTITHREADED);
                          return work();
                      })
        .get();
}

ElementTexts ReadOnWorker(POINT point, WantedTexts wanted)
{
    return OnWorker([point, wanted] { return ReadHere(point, wanted); });
}

std::pair<HarvestOutcome, std::wstring> HarvestOnWorker(POINT point)
{
    return OnWorker(
        [point]
        {
            QuietProgress progress;
            HarvestSink sink(progress);
            const HarvestOutcome outcome = HarvestAt(::WindowFromPoint(point), point, sink);
            return std::make_pair(outcome, sink.TakeText());
        });
}

// Over the same hostile controls: a program run as administrator is told to refuse, not to
// hang, whatever is read; one of the other bitness is harvested through its accessible objects
// (a list view's tells the other columns in each row's description, its header's the headings);
// a browser that first tells only its page is asked again.
TEST(WindowsOnlyReading, RefusingProgramsOtherBitnessesAndBrowsers)
{
    HostileControls hostile;
    {
        const InjectedCalls injected;
        CallsIntoTargets().sendMessageTimeout = &RefusedMessage;
        CallsIntoTargets().openProcess = &RefusedProcess;
        const POINT item = ListBoxItemCentre(hostile.lyingList, 0);
        const ElementTexts texts = ReadOnWorker(item, WantedTexts{true, false});
        EXPECT_TRUE(texts.refused);
        EXPECT_EQ(texts.name, L"");
        EXPECT_EQ(HarvestOnWorker(item).first, HarvestOutcome::Refused);
        EXPECT_EQ(HarvestOnWorker(CentreOf(hostile.rowAnsweringList)).first,
                  HarvestOutcome::Refused);
        EXPECT_EQ(HarvestOnWorker(CentreOf(hostile.blankRowsButton)).first, HarvestOutcome::Refused)
            << "a window's texts";
    }
    {
        const InjectedCalls injected;
        CallsIntoTargets().isWow64Process = &OtherBitness;
        const auto harvested = HarvestOnWorker(CentreOf(hostile.rowAnsweringList));
        EXPECT_EQ(harvested.first, HarvestOutcome::Harvested);
        EXPECT_EQ(harvested.second, HostileControls::kRowAnsweringText);
    }
    EXPECT_EQ(ReadOnWorker(CentreOf(hostile.browser), WantedTexts{true, false}).name,
              HostileControls::kBrowserButton);
}

TEST(WindowsOnlyReading, PointsReachAnUnawareWindowInItsOwnUnits)
{
    ControlWindow window;
    HWND list =
        window.Add(L"LISTBOX", L"", WS_BORDER | LBS_NOINTEGRALHEIGHT, RECT{20, 20, 220, 400});
    HWND view = window.Add(WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT, RECT{240, 20, 600, 400});
    AddListViewColumns(view, {L"列"});
    for (int row = 0; row < 12; ++row)
    {
        const std::wstring text = L"行 " + std::to_wstring(row);
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        AddListViewRow(view, row, {text.c_str()});
    }
    const ComApartment apartment(COINIT_APARTMENTTHREADED);
    const InjectedCalls injected;
    CallsIntoTargets().physicalToLogicalPoint = &UnawareAt150;
    const struct
    {
        HWND control;
        POINT point;
    } cases[] = {{list, ListBoxItemCentre(list, 9)}, {view, ListViewCellCentre(view, 9, 0)}};
    for (const auto& c : cases)
    {
        // The item the control itself finds at the point in its own units.
        const POINT logical = ClientPointOf(c.control, c.point);
        LVHITTESTINFO hit{};
        hit.pt = logical;
        const LRESULT index =
            c.control == list
                ? LOWORD(
                      ::SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(logical.x, logical.y)))
                : ::SendMessageW(view, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        ASSERT_NE(index, 9) << "the point must lie over another item in the window's units";
        EXPECT_EQ(ReadHere(c.point, WantedTexts{true, false}).name,
                  L"行 " + std::to_wstring(index));
    }
}

} // namespace
} // namespace mirufon::win32
