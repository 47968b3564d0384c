#pragma once

#include <cstdint>

namespace mirufon
{

// What the capture's reads need from the main window besides the boxes.
class CaptureFeedback
{
  public:
    CaptureFeedback() = default;
    CaptureFeedback(const CaptureFeedback&) = delete;
    CaptureFeedback& operator=(const CaptureFeedback&) = delete;
    virtual ~CaptureFeedback() = default;

    // The warning sound of a capture whose program did not answer.
    virtual void Beep() = 0;
    // Asks for ReadTracker::OnReadTimer after about this many milliseconds, replacing an
    // earlier request; a negative time cancels it.
    virtual void WakeReadTimer(std::int64_t milliseconds) = 0;
    // Starts or stops the pointer preview's ticks (PointerPreview::OnTick), every
    // kPreviewTickMs from the start.
    virtual void SetPreviewRunning(bool running) = 0;
    // The running preview's ticks come every this many milliseconds from now on.
    virtual void SetPreviewInterval(std::int64_t milliseconds) = 0;
};

} // namespace mirufon
