#include "platform/win32/reading/RemoteMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace mirufon::win32
{
namespace
{

DWORD StateOf(const void* address)
{
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(address, &info, sizeof info);
    return info.State;
}

UniqueKernelHandle OwnProcess()
{
    return UniqueKernelHandle(::OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ::GetCurrentProcessId()));
}

TEST(RemoteBlockTest, FreesItsBlockUnlessLeakedAndKeepsCopiesInsideIt)
{
    void* freed = nullptr;
    void* leaked = nullptr;
    {
        RemoteBlock buffer(OwnProcess(), 64);
        ASSERT_TRUE(buffer);
        freed = buffer.AddressAt(0);
        const char data[16] = "fifteen chars..";
        char back[16] = {};
        EXPECT_TRUE(buffer.Write(data, sizeof data, 48));
        EXPECT_TRUE(buffer.Read(back, sizeof back, 48));
        EXPECT_EQ(std::memcmp(data, back, sizeof data), 0);
        // Past the end of the block, by one byte or by an offset that wraps around.
        EXPECT_FALSE(buffer.Write(data, sizeof data, 49));
        EXPECT_FALSE(buffer.Read(back, 1, 64));
        EXPECT_FALSE(buffer.Read(back, 2, static_cast<std::size_t>(-1)));

        RemoteBlock left(OwnProcess(), 64);
        leaked = left.AddressAt(0);
        left.Leak();
    }
    EXPECT_EQ(StateOf(freed), static_cast<DWORD>(MEM_FREE));
    EXPECT_EQ(StateOf(leaked), static_cast<DWORD>(MEM_COMMIT));
    ::VirtualFree(leaked, 0, MEM_RELEASE);
}

TEST(RemoteBlockTest, StringIsReadUpToItsEndTheLimitOrTheLastReadablePage)
{
    UniqueKernelHandle process(::OpenProcess(PROCESS_VM_READ, FALSE, ::GetCurrentProcessId()));
    ASSERT_TRUE(process);
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const std::size_t page = system.dwPageSize;
    // Three pages, the last made unreadable.
    auto* block = static_cast<char*>(
        ::VirtualAlloc(nullptr, page * 3, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(::VirtualProtect(block + page * 2, page, PAGE_NOACCESS, &old));
    auto* first = reinterpret_cast<wchar_t*>(block);
    std::memcpy(first, L"日本語 text", 9 * sizeof(wchar_t));
    auto* acrossPages = reinterpret_cast<wchar_t*>(block + page) - 3;
    std::memcpy(acrossPages, L"abcdefg", 8 * sizeof(wchar_t));
    auto* beforeUnreadable = reinterpret_cast<wchar_t*>(block + page * 2) - 5;
    std::wmemset(beforeUnreadable, L'z', 5);

    EXPECT_EQ(ReadRemoteString(process.Get(), first, 100), L"日本語 text");
    EXPECT_EQ(ReadRemoteString(process.Get(), first, 3), L"日本語");
    EXPECT_EQ(ReadRemoteString(process.Get(), acrossPages, 100), L"abcdefg");
    EXPECT_EQ(ReadRemoteString(process.Get(), acrossPages, 5), L"abcde");
    // No terminator before the unreadable page: what could be read.
    EXPECT_EQ(ReadRemoteString(process.Get(), beforeUnreadable, 100), L"zzzzz");
    EXPECT_EQ(ReadRemoteString(process.Get(), nullptr, 100), L"");
    ::VirtualFree(block, 0, MEM_RELEASE);
}

} // namespace
} // namespace mirufon::win32
