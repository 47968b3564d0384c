// Start-up of the real program with Conf.txt files up to 50 MB against a start with the
// default Conf.txt: the time from process creation to the main window shown, the starts of
// every file interleaved so that a change in the machine's load falls on all of them alike.

#include "BenchStats.h"
#include "e2e/harness/Harness.h"

#include <cstdio>
#include <string>
#include <vector>

namespace
{

using namespace mirufon::bench;
using namespace std::chrono_literals;

constexpr int kRounds = 11;
constexpr size_t kFiftyMegabytes = 50u << 20;

struct ConfCase
{
    const char* name;
    std::string bytes;
    std::vector<double> samples;
    std::wstring exe; // a copy of the program in a folder of its own, beside its Conf.txt
};

struct MainWindowSearch
{
    DWORD processId;
    HWND found;
};

// EnumWindows takes a stdcall function, which a lambda is not in a 32-bit build.
BOOL CALLBACK CheckMainWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<MainWindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window) &&
        e2e::ClassName(window) == L"MirufonMainWindow")
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleMainWindow(DWORD processId)
{
    MainWindowSearch search{processId, nullptr};
    ::EnumWindows(&CheckMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds from CreateProcess to the main window shown; negative when it never showed.
// Closed, the program writes its Conf.txt; otherwise it is ended at once and Conf.txt stays
// as it was, ready for the next start.
double TimeOneStart(const std::wstring& exe, const std::wstring& folder, bool close)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = BenchClock::now();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &process))
    {
        return -1.0;
    }
    HWND window = nullptr;
    while (!window && BenchClock::now() - start < 120s)
    {
        window = VisibleMainWindow(process.dwProcessId);
        if (!window)
        {
            ::Sleep(2);
        }
    }
    const double elapsed = MicrosecondsSince(start) / 1000.0;
    if (window && close)
    {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (!close || ::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
    {
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, 5000);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return window ? elapsed : -1.0;
}

// Writes the file and waits until it is on disk, so that writing it back in the background
// does not fall into the next start's time.
bool WriteFlushed(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && ::FlushFileBuffers(file);
    ::CloseHandle(file);
    return ok;
}

std::string Repeated(const std::string& unit, size_t size)
{
    std::string bytes;
    bytes.reserve(size + unit.size());
    while (bytes.size() < size)
    {
        bytes += unit;
    }
    return bytes;
}

// A folder of the case's own with the program and the Conf.txt, written once and flushed so
// that writing it does not fall into any start's time.
bool Prepare(const e2e::TempFolder& root, int index, ConfCase& c)
{
    const std::wstring folder = root.File(L"case" + std::to_wstring(index));
    c.exe = folder + L"\\mirufon.exe";
    return ::CreateDirectoryW(folder.c_str(), nullptr) &&
           ::CopyFileW(e2e::BuiltProgram().c_str(), c.exe.c_str(), FALSE) &&
           WriteFlushed(folder + L"\\Conf.txt", c.bytes);
}

std::wstring FolderOf(const std::wstring& exe)
{
    return exe.substr(0, exe.find_last_of(L'\\'));
}

} // namespace

int main()
{
    e2e::TempFolder root;
    // The program writes its defaults when it is closed: that file is the default Conf.txt.
    ConfCase first{"", "", {}, {}};
    if (!Prepare(root, 0, first))
    {
        std::printf("cannot prepare the program\n");
        return 1;
    }
    ::DeleteFileW((FolderOf(first.exe) + L"\\Conf.txt").c_str());
    TimeOneStart(first.exe, FolderOf(first.exe), true);
    const std::string defaults = e2e::ReadBytes(FolderOf(first.exe) + L"\\Conf.txt").value_or("");
    if (defaults.empty())
    {
        std::printf("the program wrote no Conf.txt\n");
        return 1;
    }

    // "左上隅" in UTF-8: three-byte sequences throughout, so the file reads as UTF-8.
    const std::string japanese = "search string = \xE5\xB7\xA6\xE4\xB8\x8A\xE9\x9A\x85\r\n";
    std::vector<ConfCase> cases;
    cases.push_back({"default Conf.txt", defaults, {}, {}});
    cases.push_back(
        {"one 50 MB line", defaults + "key modify = " + std::string(kFiftyMegabytes, 'x'), {}, {}});
    cases.push_back(
        {"50 MB of short lines", defaults + Repeated("a=b\r\n", kFiftyMegabytes), {}, {}});
    cases.push_back(
        {"50 MB of settings", Repeated("key get name = Q\r\n", kFiftyMegabytes), {}, {}});
    cases.push_back({"50 MB of UTF-8 lines", Repeated(japanese, kFiftyMegabytes), {}, {}});
    cases.push_back({"50 MB without line ends", std::string(kFiftyMegabytes, '\n'), {}, {}});
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        if (!Prepare(root, static_cast<int>(i) + 1, cases[i]))
        {
            std::printf("cannot prepare %s\n", cases[i].name);
            return 1;
        }
        cases[i].bytes.clear();
        cases[i].bytes.shrink_to_fit();
    }

    // One start of each file, round after round; each start is ended without a save.
    for (int round = 0; round < kRounds; ++round)
    {
        for (ConfCase& c : cases)
        {
            c.samples.push_back(TimeOneStart(c.exe, FolderOf(c.exe), false));
        }
    }

    std::printf("Start-up, process created to main window shown (median of %d, interleaved)\n",
                kRounds);
    const double reference = Percentile(cases.front().samples, 0.5);
    for (const ConfCase& c : cases)
    {
        const double median = Percentile(c.samples, 0.5);
        const double worst = Percentile(c.samples, 1.0);
        std::printf("  %-26s %8.1f ms  worst %8.1f ms  ratio %5.2f\n", c.name, median, worst,
                    median / reference);
    }
    return 0;
}
