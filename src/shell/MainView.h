#pragma once

#include "capture/CaptureEngine.h"
#include "capture/CaptureLog.h"
#include "hotkeys/KeyTexts.h"
#include "settings/ConfFile.h"
#include "settings/Settings.h"
#include "shell/WindowPlacement.h"

#include <cstdint>
#include <optional>
#include <string>

namespace mirufon
{

// How the settings dialog went away.
enum class DialogClose
{
    Ok,       // "OK": the choices were stored
    Cancel,   // "Cancel": nothing was stored
    CloseBox, // the close box or the system menu: stored like "OK"
    Shutdown, // closed by the program's shutdown: nothing was stored
};

// What kind of box a message is shown in.
enum class MessageKind
{
    Plain,   // an OK button and no icon
    Warning, // an OK button and the warning icon
    // Plain, in front of every other window even while the main window is hidden in the tray
    // or behind another program: for news the user did not ask for, such as a failed copy.
    PlainInFront,
};

// What the Save dialog gave: the chosen file, nothing when the user cancelled, or why the
// dialog could not be shown.
struct SaveChoice
{
    std::optional<std::wstring> path;
    std::wstring error;
};

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

// The boxes and windows opened over the main window.
class Dialogs
{
  public:
    Dialogs() = default;
    Dialogs(const Dialogs&) = delete;
    Dialogs& operator=(const Dialogs&) = delete;
    virtual ~Dialogs() = default;

    // Shows a message box owned by the main window; returns once the user has closed it.
    virtual void ShowMessage(const std::wstring& title, const std::wstring& text,
                             MessageKind kind) = 0;
    // The same box, shown once the window has handled the message it is handling now (a
    // dialog that is closing has gone by then, and cannot stand in front of the box); returns
    // at once. Not shown when the window goes first.
    virtual void ShowMessageLater(const std::wstring& title, const std::wstring& text,
                                  MessageKind kind) = 0;
    // Asks a question in a box owned by the main window, with the buttons はい and いいえ;
    // true for はい. Returns once the user has answered.
    virtual bool AskYesNo(const std::wstring& title, const std::wstring& text) = 0;
    // The system's Save dialog, owned by the main window, on the suggested file name in the
    // folder (the user's Documents folder when empty); returns once it has closed.
    virtual SaveChoice ChooseSaveFile(const std::wstring& suggestedName,
                                      const std::wstring& folder) = 0;
    // Shows the message window for a while; the controller hears OnTransientMessageClosed
    // when it has gone (at once when it cannot be shown).
    virtual void ShowTransientMessage(const std::wstring& text, int durationMs) = 0;
    // Opens the help page in the system's browser.
    virtual void OpenHelpPage() = 0;

    // Opens the settings dialog on the settings, in front; false when it could not be
    // created. When it closes, it stores its choices in settings and the controller hears
    // OnSettingsDialogClosed while the dialog's window still exists.
    virtual bool OpenSettingsDialog(Settings& settings) = 0;
    virtual bool IsSettingsDialogOpen() const = 0;
    virtual void BringSettingsDialogToFront() = 0;
    // Closes the dialog, if open, without storing (OnSettingsDialogClosed with Shutdown).
    virtual void CloseSettingsDialog() = 0;
};

// The icon in the notification area.
class TrayView
{
  public:
    TrayView() = default;
    TrayView(const TrayView&) = delete;
    TrayView& operator=(const TrayView&) = delete;
    virtual ~TrayView() = default;

    // Puts the icon in the notification area and hides the window; false, with the window
    // left as it is, when the shell refused the icon.
    virtual bool EnterTray() = 0;
    // Offers the icon to the shell again (it restarted, or refused it before), the window left
    // as it is; true once the icon is in the notification area.
    virtual bool RestoreTrayIcon() = 0;
    // Shows the window, restored if it was minimized, and brings it to the front; the icon
    // stays.
    virtual void ShowFromTray() = 0;
    // Removes the icon and shows the window without activating it.
    virtual void LeaveTray() = 0;
    // Removes the icon, if shown, at exit.
    virtual void RemoveTrayIcon() = 0;
    // The icon's pop-up menu at the pointer.
    virtual void ShowTrayMenu() = 0;
};

// The main window's timers that are not the capture engine's (see CaptureFeedback).
class Timers
{
  public:
    Timers() = default;
    Timers(const Timers&) = delete;
    Timers& operator=(const Timers&) = delete;
    virtual ~Timers() = default;

    // Starts or stops the pointer preview's ticks, every kPreviewTickMs from the start; a
    // stopped preview keeps its last text.
    virtual void SetPreviewRunning(bool running) = 0;
    // The running preview's ticks come every this many milliseconds from now on.
    virtual void SetPreviewInterval(std::int64_t milliseconds) = 0;

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
