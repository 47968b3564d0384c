#include "platform/win32/reading/RemoteMemory.h"

#include "platform/win32/window/SystemMessage.h"

#include <algorithm>
#include <vector>

namespace mirufon::win32
{
namespace
{

bool IsWow64(HANDLE process, bool& wow64)
{
    BOOL result = FALSE;
    if (!::IsWow64Process(process, &result))
    {
        return false;
    }
    wow64 = result != FALSE;
    return true;
}

std::size_t PageSize()
{
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwPageSize ? info.dwPageSize : 4096;
}

} // namespace

UniqueKernelHandle OpenProcessOfSameBitness(HWND window)
{
    DWORD processId = 0;
    if (!::GetWindowThreadProcessId(window, &processId) || processId == 0)
    {
        return {};
    }
    UniqueKernelHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                                 PROCESS_VM_WRITE |
                                                 PROCESS_QUERY_LIMITED_INFORMATION,
                                             FALSE, processId));
    if (!process)
    {
        // A program running with more rights than ours refuses: nothing unusual.
        if (::GetLastError() != ERROR_ACCESS_DENIED)
        {
            ReportFailure(L"OpenProcess for a control's memory", ::GetLastError());
        }
        return {};
    }
    bool ours = false;
    bool theirs = false;
    if (!IsWow64(::GetCurrentProcess(), ours) || !IsWow64(process.Get(), theirs) || ours != theirs)
    {
        return {};
    }
    return process;
}

RemoteBuffer::RemoteBuffer(HANDLE process, std::size_t bytes) : m_process(process)
{
    m_address = ::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!m_address)
    {
        ReportFailure(L"VirtualAllocEx", ::GetLastError());
        return;
    }
    m_size = bytes;
}

RemoteBuffer::~RemoteBuffer()
{
    if (m_address && !m_leaked)
    {
        ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
}

void* RemoteBuffer::AddressAt(std::size_t offset) const
{
    return static_cast<char*>(m_address) + offset;
}

bool RemoteBuffer::InRange(std::size_t bytes, std::size_t offset) const
{
    return m_address && offset <= m_size && bytes <= m_size - offset;
}

bool RemoteBuffer::Write(const void* data, std::size_t bytes, std::size_t offset)
{
    SIZE_T written = 0;
    return InRange(bytes, offset) &&
           ::WriteProcessMemory(m_process, AddressAt(offset), data, bytes, &written) &&
           written == bytes;
}

bool RemoteBuffer::Read(void* data, std::size_t bytes, std::size_t offset) const
{
    SIZE_T read = 0;
    return InRange(bytes, offset) &&
           ::ReadProcessMemory(m_process, AddressAt(offset), data, bytes, &read) && read == bytes;
}

void RemoteBuffer::Leak()
{
    if (m_address && !m_leaked)
    {
        m_leaked = true;
        ReportFailure(L"a control did not answer in time: its memory block is left to it",
                      ERROR_TIMEOUT);
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
