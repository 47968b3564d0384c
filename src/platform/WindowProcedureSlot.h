#pragma once

#include <cstdint>

namespace mirufon
{

// A window procedure's address as an integer, 0 standing for none.
using ProcedureId = std::uintptr_t;

// The main window's window-procedure slot. Handlers that hook the window's messages put their
// own procedure in and must later put back exactly the one they replaced, in the reverse
// order of installation.
class WindowProcedureSlot
{
  public:
    WindowProcedureSlot() = default;
    WindowProcedureSlot(const WindowProcedureSlot&) = delete;
    WindowProcedureSlot& operator=(const WindowProcedureSlot&) = delete;
    virtual ~WindowProcedureSlot() = default;

    // Makes procedure the main window's procedure and returns the one it replaced. Returns 0
    // when the replacement failed; the window then keeps its procedure unchanged.
    virtual ProcedureId Replace(ProcedureId procedure) = 0;
};

} // namespace mirufon
