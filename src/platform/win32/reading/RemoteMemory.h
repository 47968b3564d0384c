#pragma once

#include "platform/win32/window/Handles.h"

#include <cstddef>
#include <string>

namespace mirufon::win32
{

// The process that owns the window, opened for reading and writing its memory; empty when it
// cannot be opened or when its pointers are not the size of ours (a 32-bit program on 64-bit
// Windows, or the other way round), so that no structure laid out by this program could be
// read wrongly there. The caller's own process qualifies too.
UniqueKernelHandle OpenProcessOfSameBitness(HWND window);

// A block of memory committed in another process (or in this one), for window messages that
// take a pointer the receiving control writes through. Released when the object goes, unless
// Leak() was called: a control that did not answer in time may still write into the block
// whenever it gets round to the message, and freeing the block under it could crash that
// program, so such a block is left to the other process for good.
class RemoteBuffer
{
  public:
    // Commits bytes in the process; empty (false) when that fails. The process handle must
    // outlive the buffer.
    RemoteBuffer(HANDLE process, std::size_t bytes);
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer();

    explicit operator bool() const { return m_address != nullptr; }
    // The block's address in the other process, for a message's parameters.
    void* Address() const { return m_address; }
    // The address of a place inside the block, bytes from its start.
    void* AddressAt(std::size_t offset) const;
    std::size_t Size() const { return m_size; }

    // Copies bytes into or out of the block at the offset; false when the range does not lie
    // inside the block or the copy fails.
    bool Write(const void* data, std::size_t bytes, std::size_t offset = 0);
    bool Read(void* data, std::size_t bytes, std::size_t offset = 0) const;

    // Leaves the block to the other process: the destructor will not free it.
    void Leak();
    bool Leaked() const { return m_leaked; }

  private:
    bool InRange(std::size_t bytes, std::size_t offset) const;

    HANDLE m_process;
    void* m_address = nullptr;
    std::size_t m_size = 0;
    bool m_leaked = false;
};

// A zero-terminated UTF-16 string at an address of the process, at most maxChars characters
// of it; read page by page so that a string ending just before an unreadable page is still
// read whole. Empty when nothing there can be read.
std::wstring ReadRemoteString(HANDLE process, const void* address, std::size_t maxChars);

} // namespace mirufon::win32
