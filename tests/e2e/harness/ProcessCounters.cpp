#include "e2e/harness/ProcessCounters.h"

#include "e2e/harness/SystemChecks.h"
#include "support/ProcessObjects.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string_view>
#include <vector>

namespace e2e
{
namespace
{

const wchar_t kProc[] = L"Z:\\proc\\";

bool IsNumber(const std::wstring& name)
{
    return !name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos;
}

// The id of the first Unix process whose /proc folder passes the test; 0 when none does.
unsigned long FindUnixProcess(const std::function<bool(const std::wstring& procFolder)>& matches)
{
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((std::wstring(kProc) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
    {
        return 0;
    }
    unsigned long pid = 0;
    do
    {
        const std::wstring name = found.cFileName;
        if (IsNumber(name) && matches(kProc + name))
        {
            pid = std::wcstoul(name.c_str(), nullptr, 10);
            break;
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return pid;
}

// The first argument of a Unix process's command line: the program it runs.
std::string ProgramOf(const std::wstring& procFolder)
{
    const auto commandLine = e2e::ReadBytes(procFolder + L"\\cmdline");
    return commandLine ? commandLine->c_str() : "";
}

// A variable of a Unix process's environment (NAME=value entries, each ended by a NUL); empty
// when it is not set.
std::string EnvironmentVariable(const std::wstring& procFolder, const std::string& name)
{
    const auto environment = e2e::ReadBytes(procFolder + L"\\environ");
    if (!environment)
    {
        return {};
    }
    const std::string prefix = name + "=";
    for (std::size_t at = 0; at < environment->size();)
    {
        const std::size_t end = std::min(environment->find('\0', at), environment->size());
        const std::string_view entry(environment->data() + at, end - at);
        if (entry.starts_with(prefix))
        {
            return std::string(entry.substr(prefix.size()));
        }
        at = end + 1;
    }
    return {};
}

// Whether the Unix process serves a Windows process of the driver's own prefix: another
// prefix on the machine may run a program from a folder of the same name.
bool InThisPrefix(const std::wstring& procFolder)
{
    // Wine's server opens the files of every process of the prefix, so that /proc/self is the
    // server's: its WINEPREFIX is the driver's.
    static const std::string prefix =
        EnvironmentVariable(std::wstring(kProc) + L"self", "WINEPREFIX");
    return EnvironmentVariable(procFolder, "WINEPREFIX") == prefix;
}

long CountEntries(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
    {
        return -1;
    }
    long count = 0;
    do
    {
        const std::wstring name = found.cFileName;
        count += name != L"." && name != L".." ? 1 : 0;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

long RssAnonKb(unsigned long unixPid)
{
    const auto status = e2e::ReadBytes(kProc + std::to_wstring(unixPid) + L"\\status");
    if (!status)
    {
        return -1;
    }
    const std::size_t at = status->find("RssAnon:");
    return at == std::string::npos ? -1 : std::strtol(status->c_str() + at + 8, nullptr, 10);
}

} // namespace

unsigned long FindUnixProgram(const std::wstring& unixMarker)
{
    const std::string marker = e2e::Utf8(unixMarker);
    return FindUnixProcess(
        [&](const std::wstring& procFolder)
        {
            const std::string program = ProgramOf(procFolder);
            return program.find(marker) != std::string::npos &&
                   program.find("mirufon.exe") != std::string::npos && InThisPrefix(procFolder);
        });
}

unsigned long FindUnixCommand(const std::wstring& text)
{
    const std::string wanted = e2e::Utf8(text);
    return FindUnixProcess(
        [&](const std::wstring& procFolder)
        {
            std::string commandLine = e2e::ReadBytes(procFolder + L"\\cmdline").value_or("");
            std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
            return commandLine.find(wanted) != std::string::npos && InThisPrefix(procFolder);
        });
}

unsigned long FindWineServer()
{
    return FindUnixProcess(
        [](const std::wstring& procFolder)
        {
            const std::string program = ProgramOf(procFolder);
            const std::string name = program.substr(program.find_last_of('/') + 1);
            return name.starts_with("wineserver") && InThisPrefix(procFolder);
        });
}

double UnixProcessorSeconds(unsigned long unixPid)
{
    const auto stat = e2e::ReadBytes(kProc + std::to_wstring(unixPid) + L"\\stat");
    // The command's name comes in parentheses and may hold spaces; after it, the state and ten
    // more fields, then utime and stime.
    const std::size_t nameEnd = stat ? stat->rfind(')') : std::string::npos;
    if (nameEnd == std::string::npos)
    {
        return -1.0;
    }
    std::istringstream fields(stat->substr(nameEnd + 1));
    std::string skipped;
    for (int i = 0; i < 11; ++i)
    {
        fields >> skipped;
    }
    unsigned long long user = 0;
    unsigned long long system = 0;
    if (!(fields >> user >> system))
    {
        return -1.0;
    }
    return static_cast<double>(user + system) / 100.0;
}

ProgramCounters::ProgramCounters(DWORD processId, const std::wstring& unixMarker)
    : m_processId(processId),
      m_process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)),
      m_unixPid(unixMarker.empty() ? 0 : FindUnixProgram(unixMarker))
{
}

ProgramCounters::~ProgramCounters()
{
    if (m_process)
    {
        ::CloseHandle(m_process);
    }
}

Counters ProgramCounters::Sample()
{
    Counters counters;
    counters.gdiObjects = GdiObjects();
    counters.handles = Handles();
    counters.windows = Windows();
    if (m_unixPid != 0)
    {
        counters.unixFiles = CountEntries(kProc + std::to_wstring(m_unixPid) + L"\\fd");
        counters.rssAnonKb = RssAnonKb(m_unixPid);
    }
    return counters;
}

long ProgramCounters::GdiObjects() const
{
    return m_process ? testsupport::GdiObjectsOf(m_process) : -1;
}

long ProgramCounters::Handles() const
{
    return m_process ? testsupport::HandlesOf(m_process, m_processId) : -1;
}

long ProgramCounters::Windows() const
{
    return testsupport::WindowsOf(m_processId);
}

} // namespace e2e
