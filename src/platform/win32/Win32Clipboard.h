#pragma once

#include "platform/Clipboard.h"
#include "platform/MessagePump.h"
#include "platform/win32/Handles.h"

namespace mirufon::win32
{

// The clipboard opened by a window for the guard's lifetime; IsOpen is false when another
// program holds it.
class OpenedClipboard
{
  public:
    explicit OpenedClipboard(HWND owner) : m_open(::OpenClipboard(owner) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard()
    {
        if (m_open)
        {
            ::CloseClipboard();
        }
    }
    bool IsOpen() const { return m_open; }

  private:
    bool m_open;
};

class Win32Clipboard final : public Clipboard
{
  public:
    explicit Win32Clipboard(HWND owner) : m_owner(owner) {}
    bool Empty() override;

  private:
    HWND m_owner;
};

// Sleeps, then dispatches every pending message of the UI thread.
class Win32MessagePump final : public MessagePump
{
  public:
    void SleepThenDispatch(int milliseconds) override;
};

} // namespace mirufon::win32
