#pragma once

#include "platform/win32/window/Handles.h"

#include <objbase.h>

namespace mirufon::win32
{

// COM for the calling thread for the object's lifetime: single-threaded on the main window's
// thread (the Save dialog and the accessibility layer's callbacks need it there), multithreaded
// on the workers that read other programs.
class ComApartment
{
  public:
    explicit ComApartment(DWORD model) : m_ok(SUCCEEDED(::CoInitializeEx(nullptr, model))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (m_ok)
        {
            ::CoUninitialize();
        }
    }

  private:
    bool m_ok;
};

} // namespace mirufon::win32
