#pragma once

#include "settings/Settings.h"

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

} // namespace mirufon
