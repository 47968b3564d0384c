#pragma once

#include "platform/win32/window/Handles.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace mirufon::win32
{

// What asking for another program's memory came to.
enum class MemoryAccess
{
    Open,
    OtherBitness, // a 32-bit program on 64-bit Windows, or the other way round: no structure laid
                  // out by this program could be read rightly there
    Refused,      // it runs with more rights than this program (as administrator)
    Failed,       // it is gone, or the system could not give the memory
};

// The process that owns the window, opened for reading and writing its memory when its
// pointers are the size of ours (the caller's own process qualifies too); why not otherwise.
struct TargetProcess
{
    UniqueKernelHandle handle;
    MemoryAccess access = MemoryAccess::Failed;
};
TargetProcess OpenTargetProcess(HWND window);

// Whether the window's program has pointers of our size; false when that cannot be told.
bool HasOurBitness(HWND window);

struct RemoteBlockRecord;

// A block of memory committed in another process (or in this one), for the window messages
// whose parameters point at structures or texts the receiving control fills in. It is freed
// when it goes, and when the program ends while a read still holds it (a harvest under way);
// the one exception is a block whose control did not answer a message pointing into it: the
// control may still write into the block whenever it gets round to the message, and freeing
// it under it could crash that program, so such a block is left to the other process for good.
// Every copy into or out of the block, and every message pointing into it, happens within a
// Use: the program's end frees no block while one is in use.
class RemoteBlock
{
  public:
    // Commits bytes in the process, which the block keeps open; empty (false) when that fails.
    RemoteBlock(UniqueKernelHandle process, std::size_t bytes);
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    ~RemoteBlock();

    explicit operator bool() const;
    HANDLE Process() const { return m_process.Get(); }
    // The address of a place inside the block, bytes from its start, in the other process.
    void* AddressAt(std::size_t offset) const;
    std::size_t Size() const { return m_size; }

    // While a Use lives, the block is neither freed nor reused by the program's end.
    class Use
    {
      public:
        explicit Use(RemoteBlockRecord& record) : m_record(&record) {}
        Use(Use&& other) noexcept : m_record(std::exchange(other.m_record, nullptr)) {}
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        Use& operator=(Use&&) = delete;
        ~Use();

      private:
        RemoteBlockRecord* m_record;
    };
    // Nothing once the block has been freed or left, or while the program ends.
    std::optional<Use> BeginUse();

    // Copies bytes into or out of the block at the offset; false when the range does not lie
    // inside the block, the block is no longer there, or the copy fails.
    bool Write(const void* data, std::size_t bytes, std::size_t offset = 0);
    bool Read(void* data, std::size_t bytes, std::size_t offset = 0);
    // The zero-terminated text at the offset, at most maxChars characters of it.
    std::wstring ReadString(std::size_t offset, std::size_t maxChars);

    // Leaves the block to the other process: it is never freed.
    void Leak();

  private:
    bool InRange(std::size_t bytes, std::size_t offset) const;

    UniqueKernelHandle m_process;
    std::size_t m_size = 0;
    std::unique_ptr<RemoteBlockRecord> m_record;
};

// At the program's end: frees every block still committed in another program, waiting up to
// the given time for the messages pointing into them to be answered; a block whose message is
// still unanswered then is left to its program. Afterwards no block can be used.
void FreeRemoteBlocksAtExit(std::chrono::milliseconds wait);

// A zero-terminated UTF-16 string at an address of the process, at most maxChars characters
// of it; read page by page so that a string ending just before an unreadable page is still
// read whole. Empty when nothing there can be read.
std::wstring ReadRemoteString(HANDLE process, const void* address, std::size_t maxChars);

} // namespace mirufon::win32
