#pragma once

#include "platform/Clipboard.h"
#include "platform/MessagePump.h"
#include "platform/win32/Handles.h"

namespace mirufon::win32
{

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
