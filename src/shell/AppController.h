#pragma once

#include "capture/CaptureLog.h"
#include "capture/CaptureQueue.h"
#include "capture/CopyCapture.h"
#include "capture/ObservedTextBox.h"
#include "capture/PointerPreview.h"
#include "capture/ReadTracker.h"
#include "capture/ReadWorkers.h"
#include "hotkeys/HotKeys.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ConfStore.h"
#include "platform/HotKeyApi.h"
#include "platform/JournalStore.h"
#include "platform/LogFiles.h"
#include "platform/PointerProbe.h"
#include "platform/TextBox.h"
#include "settings/Settings.h"
#include "shell/Dialogs.h"
#include "shell/LogJournal.h"
#include "shell/Timers.h"
#include "shell/TrayView.h"
#include "shell/WindowFrame.h"
#include "text/TextSearch.h"

#include <cstdint>

namespace mirufon
{

// Why the program ends.
enum class ShutdownCause
{
    Closed,        // the window was closed: the user, the tray menu's "終了", another program
    SessionEnding, // Windows is shutting down or logging the user off
};

// What the controller works with, by where it comes from.
// The main window: its roles, its three text boxes (the log and the two preview boxes) and its
// handle.
struct MainWindowParts
{
    WindowFrame& frame;
    Dialogs& dialogs;
    TrayView& tray;
    Timers& timers;
    CaptureFeedback& feedback;
    TextBox& logBox;
    TextBox& nameBox;
    TextBox& valueBox;
    WindowId handle;
};
// The system's services.
struct SystemParts
{
    HotKeyApi& hotKeyApi;
    Clipboard& clipboard;
    PointerProbe& pointer;
    ReadWorkers& readWorkers;
    const Clock& clock;
};
// What is kept on disk: Conf.txt, the journal and saved logs.
struct StoredParts
{
    ConfStore& conf;
    JournalStore& journal;
    LogFiles& logFiles;
};
struct AppServices
{
    MainWindowParts window;
    SystemParts system;
    StoredParts stored;
};

// The program's sequences, in one place: start-up, shutdown, stop and resume, the tray, the
// settings dialog's re-apply, and the commands of the menus and hotkeys. The main window
// reports its events here and draws what the controller tells it; the controller holds the
// state (running or stopped, always on top, in the tray, registered, joined).
class AppController
{
  public:
    explicit AppController(const AppServices& services);
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // The start-up sequence, once the window exists: the settings from Conf.txt, the
    // introduction, the offer of a log an earlier run left and, unless the start message is
    // shown first, everything else.
    void Start();
    // The start message has gone: start-up goes on from where it waited.
    void OnTransientMessageClosed();

    // A WM_HOTKEY with this id (the low 32 bits of wParam). Inert while not registered.
    void OnHotKey(std::int32_t id);
    // A tick of the watch over the keys of the hotkeys just pressed (while one is held).
    void OnKeyWatchTick();
    // The clipboard's content changed (the window listens only while copy capture is on); and
    // a read of it has ended.
    void OnClipboardChanged();
    void OnClipboardRead(const ClipboardRead& read);

    // The window was minimized, or came back from the taskbar.
    void OnMinimized(bool minimized);
    // The reads of the element under the pointer: the window hands them what the workers post
    // and the ticks of their timer. And the pointer preview, which the window ticks.
    ReadTracker& Reads() { return m_reads; }
    PointerPreview& Preview() { return m_preview; }

    // Menu commands.
    void ToggleRunState();
    void ToggleAlwaysOnTop();
    void ClearAll();
    void ShowHotKeyHelp();
    void OpenSettings();
    void LeaveTray();
    void Quit();
    // Ctrl+A in the log.
    void SelectAllLog();
    // Ctrl+S and the log's "ログを保存": the Save dialog, then the log written to the file
    // chosen. Does nothing while the log shows the introduction.
    void SaveLog();
    bool CanSaveLog() const;

    // The log's Find dialog and F3 search with the last search, the one Conf.txt keeps: a
    // search from the dialog becomes it, the dialog's match-case box telling exact from loose.
    void RememberSearch(std::wstring what, bool matchCase);
    // Where the last search finds its next occurrence in the log from the selection; nothing
    // when it finds none or there is no search text.
    std::optional<TextSpan> FindInLog(TextSpan selection, SearchDirection direction) const;
    // While the Find dialog is the active window the hotkeys are off, so that the capitals typed
    // into it arrive there.
    void OnFindDialogActive(bool active);

    // The log box's change notification: the user edited it, or the program's own edit is
    // being made.
    void OnLogEdited();
    // The timer the journal asked for.
    void OnJournalTimer();

    // A mouse event on the tray icon (the low word of the callback's lParam).
    void OnTrayEvent(unsigned mouseEvent);
    // The icon menu's "表示": the window on screen and in front, the icon staying.
    void ShowFromTray();
    // The shell's taskbar was created (Explorer started again): it has forgotten the icon.
    void OnTaskbarCreated();
    // The timer the icon's next attempt asked for.
    void OnTrayTimer();
    // The settings dialog closed; its window still exists.
    void OnSettingsDialogClosed(DialogClose how);

    // The shutdown sequence; runs once, whatever asks for it again.
    void Shutdown(ShutdownCause cause);

    bool IsRunning() const { return m_running; }
    bool IsInTray() const { return m_inTray; }
    const Settings& CurrentSettings() const { return m_settings; }

  private:
    void OfferLeftOverLog();
    void FinishStart();
    // The tray (AppControllerTray.cpp).
    void EnterTrayAtStart();
    void RetryTrayIcon();
    void EndTrayIcon();
    void RunCommand(HotKeyCommand command);
    void WatchHeldKeys();
    void SetRunState(bool running);
    void UpdatePreview();
    void ReapplySettings();
    void SaveSettings(ShutdownCause cause);
    void SaveLogToChosenFile();
    void ShowSaveFailure(const std::wstring& error);
    std::wstring JournalText() const;

    WindowFrame& m_frame;
    Dialogs& m_dialogs;
    TrayView& m_tray;
    Timers& m_timers;
    ConfStore& m_conf;
    Clipboard& m_clipboard;
    TextBox& m_nameBox;
    TextBox& m_valueBox;
    TextBox& m_logBox;
    LogFiles& m_logFiles;

    Settings m_settings;
    // The log box as the capture log edits it: every edit reaches the journal.
    ObservedTextBox m_observedLog;
    CaptureLog m_log;
    ReadTracker m_reads;
    PointerPreview m_preview;
    CaptureQueue m_captures;
    HotKeyManager m_hotKeys;
    HotKeyDispatcher m_dispatcher;
    CopyCapture m_copy;
    LogJournal m_journal;
    // Where the last Save dialog of this run was left.
    std::wstring m_lastSaveFolder;

    bool m_running = true;
    // The window is hidden in the tray.
    bool m_inTray = false;
    // The icon belongs in the notification area (from a start in the tray to "トレイから出す"),
    // and how many more attempts to add it are due while the shell does not take it.
    bool m_trayIconWanted = false;
    int m_trayAttemptsLeft = 0;
    bool m_minimized = false;
    bool m_watchingKeys = false;
    bool m_waitingForStartMessage = false;
    bool m_started = false;
    bool m_shutDown = false;
    bool m_saving = false;
};

} // namespace mirufon
