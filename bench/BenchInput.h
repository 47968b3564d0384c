#pragma once

// Input for the latency benchmarks: one SendInput call and nothing after it, so that the time
// taken from just before the call is the time a user's key press takes to show.

#include <windows.h>

namespace mirufon::bench
{

// Shift + key, pressed and released.
inline void SendShiftChord(WORD key)
{
    INPUT inputs[4]{};
    const WORD keys[4] = {VK_SHIFT, key, key, VK_SHIFT};
    for (int i = 0; i < 4; ++i)
    {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, inputs, sizeof(INPUT));
}

} // namespace mirufon::bench
