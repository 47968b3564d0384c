#include "support/ProcessObjects.h"

#include <winternl.h>

#include <algorithm>
#include <cstdint>

namespace testsupport
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

long GdiTableEntries(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                    &length) != 0)
    {
        return -1;
    }
    std::uint64_t table = 0;
    SIZE_T read = 0;
    const auto* tableAddress =
        reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTableOffset;
    if (!::ReadProcessMemory(process, tableAddress, &table, sizeof table, &read) || table == 0)
    {
        return -1;
    }
    std::vector<GdiEntry> entries(kGdiEntries);
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
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

long HandleListEntries(DWORD processId)
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
        count += list->handles[i].ownerProcessId == processId ? 1 : 0;
    }
    return count;
}

bool RunsUnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

} // namespace

long GdiObjectsOf(HANDLE process)
{
    // Windows counts them itself; its PEB's table is shared by every process of the session.
    return RunsUnderWine() ? GdiTableEntries(process)
                           : static_cast<long>(::GetGuiResources(process, GR_GDIOBJECTS));
}

long HandlesOf(HANDLE process, DWORD processId)
{
    if (RunsUnderWine())
    {
        return HandleListEntries(processId);
    }
    DWORD counted = 0;
    return ::GetProcessHandleCount(process, &counted) ? static_cast<long>(counted) : -1;
}

long WindowsOf(DWORD processId)
{
    long count = 0;
    for (HWND window : TopLevelWindowsOf(processId))
    {
        count += 1 + static_cast<long>(DescendantsOf(window).size());
    }
    return count;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    std::vector<HWND> windows;
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::erase_if(windows,
                  [processId](HWND window)
                  {
                      DWORD owner = 0;
                      ::GetWindowThreadProcessId(window, &owner);
                      return owner != processId;
                  });
    return windows;
}

std::vector<HWND> DescendantsOf(HWND parent)
{
    std::vector<HWND> windows;
    ::EnumChildWindows(parent, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

} // namespace testsupport
