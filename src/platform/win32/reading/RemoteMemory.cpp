#include "platform/win32/reading/RemoteMemory.h"

#include "platform/win32/reading/TargetCalls.h"
#include "platform/win32/window/SystemMessage.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <set>
#include <vector>

namespace mirufon::win32
{

// The bookkeeping of one block, shared with the list of blocks still committed.
struct RemoteBlockRecord
{
    HANDLE process = nullptr;
    void* address = nullptr;
    int uses = 0;
    bool gone = false; // freed, or left to the other program
};

namespace
{

// Every block still committed in another program, so that the program's end can free them.
struct BlockRegistry
{
    std::mutex mutex;
    std::condition_variable idle;
    std::set<RemoteBlockRecord*> live;
    bool ending = false;
};

BlockRegistry& Registry()
{
    // Never destroyed: a read stuck in another program may come back while the program ends,
    // after static objects have gone.
    alignas(BlockRegistry) static unsigned char storage[sizeof(BlockRegistry)];
    static BlockRegistry* const registry = ::new (storage) BlockRegistry();
    return *registry;
}

void Free(RemoteBlockRecord& record)
{
    ::VirtualFreeEx(record.process, record.address, 0, MEM_RELEASE);
    record.gone = true;
}

bool IsWow64(HANDLE process, bool& wow64)
{
    BOOL result = FALSE;
    if (!CallsIntoTargets().isWow64Process(process, &result))
    {
        return false;
    }
    wow64 = result != FALSE;
    return true;
}

bool SameBitness(HANDLE process)
{
    bool ours = false;
    bool theirs = false;
    return IsWow64(::GetCurrentProcess(), ours) && IsWow64(process, theirs) && ours == theirs;
}

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::size_t PageSize()
{
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwPageSize ? info.dwPageSize : 4096;
}

} // namespace

TargetProcess OpenTargetProcess(HWND window)
{
    TargetProcess target;
    const DWORD processId = ProcessOf(window);
    if (processId == 0)
    {
        return target;
    }
    target.handle.Reset(CallsIntoTargets().openProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                                           PROCESS_VM_WRITE |
                                                           PROCESS_QUERY_LIMITED_INFORMATION,
                                                       FALSE, processId));
    if (!target.handle)
    {
        const DWORD error = ::GetLastError();
        // A program running with more rights than ours refuses: nothing unusual.
        if (error == ERROR_ACCESS_DENIED)
        {
            target.access = MemoryAccess::Refused;
            return target;
        }
        ReportFailure(L"OpenProcess for a control's memory", error);
        return target;
    }
    if (!SameBitness(target.handle.Get()))
    {
        target.handle.Reset();
        target.access = MemoryAccess::OtherBitness;
        return target;
    }
    target.access = MemoryAccess::Open;
    return target;
}

bool HasOurBitness(HWND window)
{
    const DWORD processId = ProcessOf(window);
    if (processId == 0)
    {
        return false;
    }
    // Granted even by a program that runs as administrator.
    const UniqueKernelHandle process(
        CallsIntoTargets().openProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return process && SameBitness(process.Get());
}

RemoteBlock::RemoteBlock(UniqueKernelHandle process, std::size_t bytes)
    : m_process(std::move(process))
{
    void* address =
        ::VirtualAllocEx(m_process.Get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!address)
    {
        ReportFailure(L"VirtualAllocEx", ::GetLastError());
        return;
    }
    m_size = bytes;
    m_record = std::make_unique<RemoteBlockRecord>();
    m_record->process = m_process.Get();
    m_record->address = address;
    BlockRegistry& registry = Registry();
    const std::lock_guard lock(registry.mutex);
    if (registry.ending)
    {
        Free(*m_record);
        return;
    }
    registry.live.insert(m_record.get());
}

RemoteBlock::~RemoteBlock()
{
    if (!m_record)
    {
        return;
    }
    BlockRegistry& registry = Registry();
    const std::lock_guard lock(registry.mutex);
    registry.live.erase(m_record.get());
    if (!m_record->gone)
    {
        Free(*m_record);
    }
}

RemoteBlock::operator bool() const
{
    return m_record != nullptr;
}

void* RemoteBlock::AddressAt(std::size_t offset) const
{
    return m_record ? static_cast<char*>(m_record->address) + offset : nullptr;
}

RemoteBlock::Use::~Use()
{
    if (!m_record)
    {
        return;
    }
    BlockRegistry& registry = Registry();
    const std::lock_guard lock(registry.mutex);
    if (--m_record->uses == 0)
    {
        registry.idle.notify_all();
    }
}

std::optional<RemoteBlock::Use> RemoteBlock::BeginUse()
{
    if (!m_record)
    {
        return std::nullopt;
    }
    BlockRegistry& registry = Registry();
    const std::lock_guard lock(registry.mutex);
    if (registry.ending || m_record->gone)
    {
        return std::nullopt;
    }
    ++m_record->uses;
    return Use(*m_record);
}

bool RemoteBlock::InRange(std::size_t bytes, std::size_t offset) const
{
    return m_record && offset <= m_size && bytes <= m_size - offset;
}

bool RemoteBlock::Write(const void* data, std::size_t bytes, std::size_t offset)
{
    SIZE_T written = 0;
    const auto use = InRange(bytes, offset) ? BeginUse() : std::nullopt;
    return use && ::WriteProcessMemory(m_process.Get(), AddressAt(offset), data, bytes, &written) &&
           written == bytes;
}

bool RemoteBlock::Read(void* data, std::size_t bytes, std::size_t offset)
{
    SIZE_T read = 0;
    const auto use = InRange(bytes, offset) ? BeginUse() : std::nullopt;
    return use && ::ReadProcessMemory(m_process.Get(), AddressAt(offset), data, bytes, &read) &&
           read == bytes;
}

std::wstring RemoteBlock::ReadString(std::size_t offset, std::size_t maxChars)
{
    if (!InRange(0, offset))
    {
        return {};
    }
    const auto use = BeginUse();
    if (!use)
    {
        return {};
    }
    return ReadRemoteString(m_process.Get(), AddressAt(offset),
                            std::min(maxChars, (m_size - offset) / sizeof(wchar_t)));
}

void RemoteBlock::Leak()
{
    if (!m_record)
    {
        return;
    }
    BlockRegistry& registry = Registry();
    const std::lock_guard lock(registry.mutex);
    if (m_record->gone)
    {
        return;
    }
    m_record->gone = true;
    ReportFailure(L"a control did not answer in time: its memory block is left to it",
                  ERROR_TIMEOUT);
}

void FreeRemoteBlocksAtExit(std::chrono::milliseconds wait)
{
    BlockRegistry& registry = Registry();
    std::unique_lock lock(registry.mutex);
    registry.ending = true;
    registry.idle.wait_for(lock, wait,
                           [&]
                           {
                               return std::none_of(registry.live.begin(), registry.live.end(),
                                                   [](const RemoteBlockRecord* record)
                                                   { return record->uses > 0; });
                           });
    for (RemoteBlockRecord* record : registry.live)
    {
        if (record->uses == 0 && !record->gone)
        {
            Free(*record);
        }
    }
}

std::wstring ReadRemoteString(HANDLE process, const void* address, std::size_t maxChars)
{
    static const std::size_t pageSize = PageSize();
    std::wstring text;
    auto place = reinterpret_cast<std::uintptr_t>(address);
    std::vector<wchar_t> chunk;
    while (place != 0 && text.size() < maxChars)
    {
        const std::size_t toPageEnd = pageSize - place % pageSize;
        std::size_t bytes = std::min(toPageEnd, (maxChars - text.size()) * sizeof(wchar_t));
        bytes = std::max<std::size_t>(bytes & ~std::size_t{1}, sizeof(wchar_t));
        chunk.resize(bytes / sizeof(wchar_t));
        SIZE_T read = 0;
        if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(place), chunk.data(), bytes,
                                 &read) ||
            read != bytes)
        {
            break;
        }
        const auto end = std::find(chunk.begin(), chunk.end(), L'\0');
        text.append(chunk.begin(), end);
        if (end != chunk.end())
        {
            break;
        }
        place += bytes;
    }
    return text;
}

} // namespace mirufon::win32
