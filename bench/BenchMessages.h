#pragma once

// How long another program's window takes to handle a message posted to it: a left margin
// posted to one of its EDIT controls and read back with sent messages. A sent message is
// answered even by a thread stuck in a call that waits (SendMessage, a clipboard read); a
// posted one only by a thread that runs its message loop, as the user's input is.

#include "BenchStats.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <vector>

namespace mirufon::bench
{

// The time, in ms, until the edit control reports the margin posted to it (at most the
// limit). The margin must differ from the one the control has now.
inline double PostedMessageDelayMs(HWND edit, WORD margin,
                                   std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto start = BenchClock::now();
    ::PostMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(margin, 0));
    while (LOWORD(::SendMessageW(edit, EM_GETMARGINS, 0, 0)) != margin &&
           BenchClock::now() - start < limit)
    {
        ::Sleep(1);
    }
    return MicrosecondsSince(start) / 1000.0;
}

// Delays of messages posted one after another, a gap apart, for as long as lasting() holds
// (it is asked before each). The control gets its own left margin back at the end.
inline std::vector<double> PostedMessageDelays(HWND edit, const std::function<bool()>& lasting,
                                               std::chrono::milliseconds gap)
{
    const WORD original = LOWORD(::SendMessageW(edit, EM_GETMARGINS, 0, 0));
    WORD margin = original;
    std::vector<double> delays;
    while (lasting())
    {
        margin = margin == 3 ? 4 : 3;
        delays.push_back(PostedMessageDelayMs(edit, margin));
        ::Sleep(static_cast<DWORD>(gap.count()));
    }
    ::SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(original, 0));
    return delays;
}

} // namespace mirufon::bench
