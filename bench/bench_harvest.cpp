// A harvest of a list view of 10,000 rows by 5 columns in another process (this program
// started again, with --list, as the list's process): the time of HarvestAt over it against
// the same number of bare LVM_GETITEMTEXTW calls through one block of that process's memory,
// in the same run, alternating, three rounds of each.

#include "BenchStats.h"
#include "ListProcess.h"
#include "platform/win32/reading/Harvesting.h"
#include "platform/win32/window/ComApartment.h"

#include <cstdio>
#include <cwchar>
#include <future>
#include <vector>

namespace
{

using namespace mirufon::bench;

constexpr int kRounds = 3;

class QuietProgress final : public mirufon::ReadProgress
{
  public:
    void Answering(std::size_t) override {}
    bool Cancelled() const override { return false; }
};

// HarvestAt over the list on a worker, as the program runs it. Milliseconds; the lines it gave
// in lines (0 when it did not harvest).
double Harvest(POINT point, std::size_t& lines)
{
    return std::async(std::launch::async,
                      [point, &lines]
                      {
                          const mirufon::win32::ComApartment apartment(COINIT_MULTITHREADED);
                          QuietProgress progress;
                          mirufon::HarvestSink sink(progress);
                          const auto start = BenchClock::now();
                          const auto outcome = mirufon::win32::HarvestAt(::WindowFromPoint(point), point, sink);
                          const double ms = MicrosecondsSince(start) / 1000.0;
                          lines = outcome == mirufon::HarvestOutcome::Harvested ? sink.Lines() : 0;
                          return ms;
                      })
        .get();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wcscmp(argv[1], L"--list") == 0)
    {
        return ServeList();
    }
    ListProcess list;
    if (!list.List())
    {
        std::fprintf(stderr, "the list's process did not start\n");
        return 1;
    }
    RECT area{};
    ::GetWindowRect(list.List(), &area);
    const POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    std::vector<double> bare;
    std::vector<double> harvests;
    for (int round = 0; round < kRounds; ++round)
    {
        std::size_t chars = 0;
        bare.push_back(BareListReads(list.List(), chars));
        std::size_t lines = 0;
        harvests.push_back(Harvest(centre, lines));
        if (lines != kListRows + 1)
        {
            std::fprintf(stderr, "the harvest gave %zu lines, not %d\n", lines, kListRows + 1);
            return 1;
        }
    }
    const double bareMedian = Percentile(bare, 0.5);
    const double harvestMedian = Percentile(harvests, 0.5);
    std::printf("Harvest of a list view of %d rows x %d columns in another process, median of %d: "
                "%.0f ms against %.0f ms for as many bare LVM_GETITEMTEXTW calls (%.1f us a "
                "cell): %.2fx (goal: at most 1.5x)\n",
                kListRows, kListColumns, kRounds, harvestMedian, bareMedian,
                1000.0 * bareMedian / (kListRows * kListColumns), harvestMedian / bareMedian);
    return 0;
}
