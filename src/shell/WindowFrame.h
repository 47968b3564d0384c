#pragma once

#include "hotkeys/KeyTexts.h"
#include "shell/WindowPlacement.h"

#include <string>

namespace mirufon
{

// The main window as the controller drives it, one interface per role: the controller decides;
// the window only draws and reports back through the controller's events.

// The window itself: where it is, how it shows, and the state it draws.
class WindowFrame
{
  public:
    WindowFrame() = default;
    WindowFrame(const WindowFrame&) = delete;
    WindowFrame& operator=(const WindowFrame&) = delete;
    virtual ~WindowFrame() = default;

    // The primary screen's size and the window's size as created, for the default settings.
    virtual DefaultGeometry CreatedGeometry() const = 0;
    // Every monitor's work area, scale and title bar, and the system's scale.
    virtual DisplayAreas Displays() const = 0;
    // Moves and sizes the window (pixels), drawn at the scale given; nothing is activated or
    // shown.
    virtual void PlaceWindow(const WindowPixels& placement) = 0;
    // Where the window is now and the scale it is drawn at; while minimized, where it will
    // come back.
    virtual WindowPixels CurrentPlacement() const = 0;
    // Places the controls for the window's present size.
    virtual void LayOut() = 0;
    // Shows the window, activated, once start-up is over.
    virtual void ShowWindow() = 0;
    // Enables or disables the window's input (disabled while the settings dialog is open).
    virtual void SetInputEnabled(bool enabled) = 0;
    // Asks the window to close as its close box does; the shutdown follows from there.
    virtual void RequestClose() = 0;

    // The stop/resume menu item's caption and the log's background for the running state.
    virtual void ShowRunState(bool running) = 0;
    // The check mark of the always-on-top menu item.
    virtual void ShowAlwaysOnTopCheck(bool checked) = 0;
    // Keeps the window above all non-topmost windows, or stops doing so, without moving,
    // sizing or activating it.
    virtual void SetTopMost(bool topMost) = 0;
    virtual void ShowKeyLabels(const KeyLabels& labels) = 0;
    // Whether the main window is the foreground window.
    virtual bool IsForeground() const = 0;
    // Tells Windows, while it ends the session, why the program holds the end up: the reason
    // shows should it take long. Release says that it holds it no more.
    virtual void HoldSessionEnd(const std::wstring& reason) = 0;
    virtual void ReleaseSessionEnd() = 0;
};

} // namespace mirufon
