#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <utility>

namespace mirufon::win32
{

// One owner for a Win32 handle. Traits give the empty value and the way to release it.
template <typename Traits> class UniqueHandle
{
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
        {
            Reset(other.Release());
        }
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }
    Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid())
    {
        if (m_handle != Traits::Invalid())
        {
            Traits::Close(m_handle);
        }
        m_handle = handle;
    }

  private:
    Handle m_handle = Traits::Invalid();
};

template <typename H, auto CloseFunction> struct NullIsEmpty
{
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { CloseFunction(handle); }
};

struct FileTraits
{
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};

inline void CloseKernel(HANDLE h)
{
    ::CloseHandle(h);
}
inline void ReleaseFontHandle(HFONT h)
{
    ::DeleteObject(h);
}
inline void ReleaseBrushHandle(HBRUSH h)
{
    ::DeleteObject(h);
}
inline void DestroyIconHandle(HICON h)
{
    ::DestroyIcon(h);
}
inline void DestroyMenuHandle(HMENU h)
{
    ::DestroyMenu(h);
}
inline void ReleaseModuleHandle(HMODULE h)
{
    ::FreeLibrary(h);
}
inline void DestroyAcceleratorsHandle(HACCEL h)
{
    ::DestroyAcceleratorTable(h);
}

using UniqueKernelHandle = UniqueHandle<NullIsEmpty<HANDLE, CloseKernel>>;
using UniqueFile = UniqueHandle<FileTraits>;
using UniqueFont = UniqueHandle<NullIsEmpty<HFONT, ReleaseFontHandle>>;
using UniqueBrush = UniqueHandle<NullIsEmpty<HBRUSH, ReleaseBrushHandle>>;
using UniqueIcon = UniqueHandle<NullIsEmpty<HICON, DestroyIconHandle>>;
using UniqueMenu = UniqueHandle<NullIsEmpty<HMENU, DestroyMenuHandle>>;
using UniqueModule = UniqueHandle<NullIsEmpty<HMODULE, ReleaseModuleHandle>>;
using UniqueAccelerators = UniqueHandle<NullIsEmpty<HACCEL, DestroyAcceleratorsHandle>>;

// Whether the key is held down, as the thread's input state has it.
inline bool IsKeyDown(int virtualKey)
{
    return ::GetKeyState(virtualKey) < 0;
}

} // namespace mirufon::win32
