#pragma once

#include <cstdint>

namespace mirufon
{

// The main window's timers that are not the capture's (see CaptureFeedback).
class Timers
{
  public:
    Timers() = default;
    Timers(const Timers&) = delete;
    Timers& operator=(const Timers&) = delete;
    virtual ~Timers() = default;

    // Starts or stops a tick every kKeyReleaseCheckMs (the controller's OnKeyWatchTick).
    virtual void SetKeyWatchRunning(bool running) = 0;

    // Asks for the controller's OnJournalTimer after about this many milliseconds, replacing an
    // earlier request; a negative time cancels it.
    virtual void WakeJournalTimer(std::int64_t milliseconds) = 0;

    // Asks for the controller's OnTrayTimer after about this many milliseconds, replacing an
    // earlier request; a negative time cancels it.
    virtual void WakeTrayTimer(std::int64_t milliseconds) = 0;

    // Ends the process on a short timer, in case the shutdown stalls after this point.
    virtual void ArmExitTimer() = 0;
};

} // namespace mirufon
