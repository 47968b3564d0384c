// A harvest of a list view of 10,000 rows by 5 columns in another process (this program
// started again, with --list, as the list's process): the time of HarvestAt over it against
// the same number of bare LVM_GETITEMTEXTW calls through one block of that process's memory,
// in the same run, alternating, three rounds of each.

#include "BenchStats.h"
#include "platform/win32/reading/Harvesting.h"
#include "platform/win32/window/ComApartment.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <future>
#include <string>
#include <vector>

namespace
{

using namespace mirufon::bench;

constexpr int kRows = 10'000;
constexpr int kColumns = 5;
constexpr int kRounds = 3;

std::wstring CellText(int row, int column)
{
    return L"行 " + std::to_wstring(row) + L" 列 " + std::to_wstring(column);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
    {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// The list's process: fills the list view, prints its window handle, and serves it until its
// window is closed.
int ServeList()
{
    INITCOMMONCONTROLSEX common{sizeof common, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&common);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &FrameProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MirufonHarvestBench";
    ::RegisterClassExW(&windowClass);
    HWND frame = ::CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"harvest bench",
                                   WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 20, 20, 800, 600,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
    HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10,
                                  760, 540, frame, nullptr, windowClass.hInstance, nullptr);
    for (int column = 0; column < kColumns; ++column)
    {
        std::wstring heading = L"列 " + std::to_wstring(column);
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.cx = 140;
        info.pszText = heading.data();
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                       reinterpret_cast<LPARAM>(&info));
    }
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < kRows; ++row)
    {
        for (int column = 0; column < kColumns; ++column)
        {
            std::wstring text = CellText(row, column);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = text.data();
            ::SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW,
                           static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        }
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(list)));
    std::fflush(stdout);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        ::DispatchMessageW(&message);
    }
    return 0;
}

// The list's process, started from this program, and the list view it shows.
class ListProcess
{
  public:
    ListProcess()
    {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) + L"\" --list";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE writeEnd = nullptr;
        ::CreatePipe(&m_output, &writeEnd, &inherit, 0);
        ::SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &m_process))
        {
            m_process = {};
        }
        ::CloseHandle(writeEnd);
        std::string line;
        char c = 0;
        DWORD read = 0;
        while (m_process.hProcess && c != '\n' && ::ReadFile(m_output, &c, 1, &read, nullptr) &&
               read == 1)
        {
            line += c;
        }
        m_list =
            reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(line.c_str(), nullptr, 10)));
    }
    ListProcess(const ListProcess&) = delete;
    ListProcess& operator=(const ListProcess&) = delete;
    ~ListProcess()
    {
        if (m_list)
        {
            ::PostMessageW(::GetAncestor(m_list, GA_ROOT), WM_CLOSE, 0, 0);
        }
        if (m_process.hProcess)
        {
            ::WaitForSingleObject(m_process.hProcess, 10000);
            ::CloseHandle(m_process.hThread);
            ::CloseHandle(m_process.hProcess);
        }
        ::CloseHandle(m_output);
    }

    HWND List() const { return m_list; }

  private:
    PROCESS_INFORMATION m_process{};
    HANDLE m_output = nullptr;
    HWND m_list = nullptr;
};

// Every cell read with a bare LVM_GETITEMTEXTW through one block of the list's memory: the
// item structure written, the message sent, the text read back. Milliseconds; the characters
// read in chars.
double BareReads(HWND list, std::size_t& chars)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(list, &processId);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    constexpr int kTextChars = 260;
    void* block = ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t),
                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(block) + sizeof(LVITEMW));
    wchar_t text[kTextChars];
    chars = 0;
    const auto start = BenchClock::now();
    const auto rows = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows; ++row)
    {
        for (int column = 0; column < kColumns; ++column)
        {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = remoteText;
            item.cchTextMax = kTextChars;
            ::WriteProcessMemory(process, block, &item, sizeof item, nullptr);
            const auto length = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                               reinterpret_cast<LPARAM>(block));
            ::ReadProcessMemory(process, remoteText, text, (length + 1) * sizeof(wchar_t), nullptr);
            chars += static_cast<std::size_t>(length);
        }
    }
    const double ms = MicrosecondsSince(start) / 1000.0;
    ::VirtualFreeEx(process, block, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return ms;
}

class QuietProgress final : public mirufon::HarvestProgress
{
  public:
    void ItemsArrived(std::size_t) override {}
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
                          const auto outcome = mirufon::win32::HarvestAt(point, sink);
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
        bare.push_back(BareReads(list.List(), chars));
        std::size_t lines = 0;
        harvests.push_back(Harvest(centre, lines));
        if (lines != kRows + 1)
        {
            std::fprintf(stderr, "the harvest gave %zu lines, not %d\n", lines, kRows + 1);
            return 1;
        }
    }
    const double bareMedian = Percentile(bare, 0.5);
    const double harvestMedian = Percentile(harvests, 0.5);
    std::printf("Harvest of a list view of %d rows x %d columns in another process, median of %d: "
                "%.0f ms against %.0f ms for as many bare LVM_GETITEMTEXTW calls (%.1f us a "
                "cell): %.2fx (goal: at most 1.5x)\n",
                kRows, kColumns, kRounds, harvestMedian, bareMedian,
                1000.0 * bareMedian / (kRows * kColumns), harvestMedian / bareMedian);
    return 0;
}
