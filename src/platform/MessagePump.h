#pragma once

namespace mirufon
{

// The UI thread's way to wait without freezing: sleep a little, then dispatch every window
// message pending for the thread. Messages dispatched here may re-enter the caller.
class MessagePump
{
  public:
    MessagePump() = default;
    MessagePump(const MessagePump&) = delete;
    MessagePump& operator=(const MessagePump&) = delete;
    virtual ~MessagePump() = default;

    virtual void SleepThenDispatch(int milliseconds) = 0;
};

} // namespace mirufon
