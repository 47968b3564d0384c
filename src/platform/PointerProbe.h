#pragma once

#include <cstdint>

namespace mirufon
{

// Where the mouse pointer is and what lies under it, as far as the main window's thread can
// tell without asking any other program.
struct PointerTarget
{
    // Whether the pointer could be asked for at all: not on a locked screen or while another
    // desktop (a password prompt of the system's) is shown.
    bool known = true;
    std::int32_t x = 0; // screen point, pixels
    std::int32_t y = 0;
    bool overWindow = false;    // some window lies under the point
    bool overOwnWindow = false; // the program's own main window (title bar and controls too)
    std::uint32_t thread = 0;   // the thread that runs the window under the point
    std::uint32_t process = 0;  // and its process
    std::uintptr_t window = 0;  // the window under the point, 0 when none
};

// Where the pointer is, nothing more: the cheapest question, asked at every tick.
struct PointerPosition
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool known = true; // as for PointerTarget

    friend bool operator==(const PointerPosition&, const PointerPosition&) = default;
};

// Never blocks: only the window manager's own bookkeeping is consulted.
class PointerProbe
{
  public:
    PointerProbe() = default;
    PointerProbe(const PointerProbe&) = delete;
    PointerProbe& operator=(const PointerProbe&) = delete;
    virtual ~PointerProbe() = default;

    virtual PointerTarget Current() = 0;
    virtual PointerPosition Position() = 0;
};

} // namespace mirufon
