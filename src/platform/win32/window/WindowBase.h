#pragma once

#include "platform/win32/window/Handles.h"

#include <utility>

namespace mirufon::win32
{

// Sends a line about a handler that threw to the debugger's output.
void ReportHandlerFailure(const wchar_t* where) noexcept;

// Runs a window or subclass procedure's handler and turns anything it throws into a line for
// the debugger and the fallback result: nothing may leave a procedure into the system's code,
// and one failed message must not end the program.
LRESULT GuardedHandler(LRESULT fallback, const wchar_t* where, auto&& handler) noexcept
{
    try
    {
        return std::forward<decltype(handler)>(handler)();
    }
    catch (...)
    {
        ReportHandlerFailure(where);
        return fallback;
    }
}

// A window of the program and the object behind it. The static procedure takes the object
// from CreateWindowEx's last argument on WM_NCCREATE, keeps it in GWLP_USERDATA, hands every
// message to OnMessage through GuardedHandler, and forgets the window on WM_NCDESTROY.
class WindowBase
{
  public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    // Destroys the window if it still exists.
    virtual ~WindowBase();

    HWND Handle() const { return m_window; }
    bool Exists() const { return m_window != nullptr; }

  protected:
    // A class description of the program's windows: arrow cursor, the background brush and the
    // program's icon in both sizes.
    static WNDCLASSEXW ProgramWindowClass(HINSTANCE instance, const wchar_t* name,
                                          HBRUSH background);

    // Registers the class once per name with this base's procedure; an existing class of that
    // name counts as registered. False, with the reason sent to the debugger, on failure.
    static bool RegisterWindowClass(WNDCLASSEXW windowClass);

    // Creates the window of a class registered above, bound to this object.
    HWND CreateBoundWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text,
                           DWORD style, int left, int top, int width, int height, HWND parent,
                           HINSTANCE instance);

    // The window's messages; what it does not handle goes to DefaultProcedure.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // After the window is gone (WM_NCDESTROY); Handle() is null by then.
    virtual void OnDestroyed() {}

    LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;

    HWND m_window = nullptr;
};

} // namespace mirufon::win32
