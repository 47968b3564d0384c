#include "e2e/ProcessCounters.h"

#include <winternl.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace e2e
{
namespace
{

// The system's handle list (SystemHandleInformation), as Wine fills it from its server.
constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);

struct SystemHandle
{
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

struct SystemHandles
{
    ULONG count;
    SystemHandle handles[1];
};

// One entry of a process's GDI handle table, as Wine lays it out.
struct GdiEntry
{
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t user;
};
static_assert(sizeof(GdiEntry) == 24);
constexpr std::size_t kGdiEntries = 0x10000;
// Where the PEB keeps the address of the GDI handle table (64-bit).
constexpr std::size_t kPebGdiTableOffset = 0xF8;

const wchar_t kProc[] = L"Z:\\proc\\";

bool IsNumber(const std::wstring& name)
{
    return !name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos;
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

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

struct WindowCount
{
    DWORD processId;
    long count;
};

BOOL CALLBACK CountTopLevel(HWND window, LPARAM parameter)
{
    auto* counting = reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == counting->processId)
    {
        ++counting->count;
        ::EnumChildWindows(window, &CountChild, reinterpret_cast<LPARAM>(&counting->count));
    }
    return TRUE;
}

} // namespace

ProgramCounters::ProgramCounters(DWORD processId, std::wstring unixMarker)
    : m_processId(processId),
      m_process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)),
      m_unixMarker(std::move(unixMarker))
{
    if (!m_unixMarker.empty())
    {
        FindUnixProcess();
    }
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

// The Unix process whose command line names the program in its private folder.
void ProgramCounters::FindUnixProcess()
{
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((std::wstring(kProc) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
    {
        return;
    }
    const std::string marker = e2e::Utf8(m_unixMarker);
    do
    {
        const std::wstring name = found.cFileName;
        if (!IsNumber(name))
        {
            continue;
        }
        const auto commandLine = e2e::ReadBytes(kProc + name + L"\\cmdline");
        const std::string first = commandLine ? commandLine->c_str() : "";
        if (first.find(marker) != std::string::npos &&
            first.find("mirufon.exe") != std::string::npos)
        {
            m_unixPid = std::wcstoul(name.c_str(), nullptr, 10);
            break;
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

long ProgramCounters::GdiObjects() const
{
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (!m_process || ::NtQueryInformationProcess(m_process, ProcessBasicInformation, &basic,
                                                  sizeof basic, &length) != 0)
    {
        return -1;
    }
    std::uint64_t table = 0;
    SIZE_T read = 0;
    const auto* tableAddress =
        reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTableOffset;
    if (!::ReadProcessMemory(m_process, tableAddress, &table, sizeof table, &read) || table == 0)
    {
        return -1;
    }
    std::vector<GdiEntry> entries(kGdiEntries);
    if (!::ReadProcessMemory(m_process, reinterpret_cast<const void*>(table), entries.data(),
                             entries.size() * sizeof(GdiEntry), &read))
    {
        return -1;
    }
    long count = 0;
    for (std::size_t i = 0; i < read / sizeof(GdiEntry); ++i)
    {
        count += entries[i].type != 0 ? 1 : 0;
    }
    return count;
}

long ProgramCounters::Handles() const
{
    std::vector<char> buffer(1 << 20);
    ULONG length = 0;
    NTSTATUS status = 0;
    while ((status = ::NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                                static_cast<ULONG>(buffer.size()), &length)) ==
           static_cast<NTSTATUS>(0xC0000004)) // STATUS_INFO_LENGTH_MISMATCH
    {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0)
    {
        return -1;
    }
    const auto* list = reinterpret_cast<const SystemHandles*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < list->count; ++i)
    {
        count += list->handles[i].ownerProcessId == m_processId ? 1 : 0;
    }
    return count;
}

long ProgramCounters::Windows() const
{
    WindowCount counting{m_processId, 0};
    ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&counting));
    return counting.count;
}

} // namespace e2e
