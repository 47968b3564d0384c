#include "shell/AppController.h"

#include "hotkeys/KeyTexts.h"
#include "settings/ConfFile.h"
#include "shell/AppInfo.h"
#include "shell/TransientMessage.h"
#include "text/UiText.h"

#include <vector>

namespace mirufon
{
namespace
{

// The message about the hotkeys the system refused, a line for each as the introduction
// writes it; empty when there are none.
std::wstring RefusedHotKeysText(const Settings& settings, const std::vector<HotKeyCommand>& refused)
{
    if (refused.empty())
    {
        return {};
    }
    std::wstring text(Text(UiText::KeysHeldElsewhere));
    for (HotKeyCommand command : refused)
    {
        text += L"\r\n";
        text += HotKeyLine(settings, command);
    }
    return text;
}

WindowGeometry StoredGeometry(const Settings& settings)
{
    return WindowGeometry{settings.windowLeft, settings.windowTop, settings.windowWidth,
                          settings.windowHeight};
}

} // namespace

AppController::AppController(const AppServices& services)
    : m_frame(services.window.frame), m_dialogs(services.window.dialogs),
      m_tray(services.window.tray), m_timers(services.window.timers), m_conf(services.stored.conf),
      m_clipboard(services.system.clipboard), m_nameBox(services.window.nameBox),
      m_valueBox(services.window.valueBox), m_logBox(services.window.logBox),
      m_logFiles(services.stored.logFiles),
      m_observedLog(services.window.logBox, [this] { m_journal.OnChange(); }),
      m_log(m_observedLog, m_settings),
      m_reads(services.system.readWorkers, services.system.clock, services.window.feedback),
      m_preview(services.window.nameBox, services.window.valueBox, services.system.pointer, m_reads,
                services.system.clock, services.window.feedback),
      m_captures(m_log, services.system.pointer, m_reads, m_preview, services.window.feedback),
      m_hotKeys(services.system.hotKeyApi),
      m_dispatcher(services.system.hotKeyApi, services.system.clock),
      m_copy(
          services.system.clipboard, services.window.handle,
          [this](std::wstring_view text) { m_captures.AppendItem(std::wstring(text)); },
          [this](std::wstring_view title, std::wstring_view text) {
              m_dialogs.ShowMessage(std::wstring(title), std::wstring(text),
                                    MessageKind::PlainInFront);
          }),
      m_journal(
          services.stored.journal, services.system.clock,
          [this](std::int64_t milliseconds) { m_timers.WakeJournalTimer(milliseconds); },
          [this] { return JournalText(); })
{
}

void AppController::Start()
{
    m_settings = DefaultSettings(m_frame.CreatedGeometry());
    ReadConf(m_conf, m_settings);
    // A window stored where its title bar cannot be reached (a monitor that has gone, a
    // hand-edited position) comes back on the nearest screen.
    m_frame.PlaceWindow(PlaceStoredWindow(StoredGeometry(m_settings), m_frame.Displays()));
    m_frame.ShowAlwaysOnTopCheck(m_settings.alwaysOnTop != 0);
    m_frame.ShowKeyLabels(KeyLabelsFor(m_settings));
    m_log.ShowIntroduction();
    OfferLeftOverLog();
    if (m_shutDown)
    {
        return;
    }
    if (m_settings.startInTray == 1 && ShouldShowMessage(m_settings.showMessages))
    {
        // The rest of start-up runs when the message has gone.
        m_waitingForStartMessage = true;
        m_dialogs.ShowTransientMessage(StartMessageText(), kStartMessageDurationMs);
        return;
    }
    FinishStart();
}

void AppController::OnTransientMessageClosed()
{
    if (!m_waitingForStartMessage)
    {
        return;
    }
    m_waitingForStartMessage = false;
    FinishStart();
}

void AppController::FinishStart()
{
    if (m_shutDown)
    {
        return;
    }
    if (m_settings.startInTray == 1)
    {
        EnterTrayAtStart();
    }
    if (m_settings.captureCopies == 1)
    {
        m_copy.Start();
    }
    m_hotKeys.Register(m_settings, true);
    m_frame.SetTopMost(m_settings.alwaysOnTop == 1);
    m_frame.LayOut();
    m_started = true;
    UpdatePreview();
    if (!m_inTray)
    {
        m_frame.ShowWindow();
    }
    if (const std::wstring refused = RefusedHotKeysText(m_settings, m_hotKeys.Refused());
        !refused.empty())
    {
        m_dialogs.ShowMessage(GetAppTitle(), refused, MessageKind::Warning);
    }
}

void AppController::OnHotKey(std::int32_t id)
{
    m_dispatcher.OnHotKey(id, m_hotKeys, [this](HotKeyCommand command) { RunCommand(command); });
    WatchHeldKeys();
}

void AppController::OnKeyWatchTick()
{
    m_dispatcher.CheckReleases();
    WatchHeldKeys();
}

// The keys just pressed are watched until they are released, so that the next press of a
// released key runs its command and a repeat of a held one does not.
void AppController::WatchHeldKeys()
{
    const bool watch = m_dispatcher.IsAnyKeyHeld();
    if (watch != m_watchingKeys)
    {
        m_watchingKeys = watch;
        m_timers.SetKeyWatchRunning(watch);
    }
}

void AppController::OnClipboardChanged()
{
    m_copy.OnClipboardChanged();
}

void AppController::OnClipboardRead(const ClipboardRead& read)
{
    m_copy.OnReadDone(read);
}

void AppController::RunCommand(HotKeyCommand command)
{
    switch (command)
    {
    case HotKeyCommand::CaptureName:
        m_captures.Capture(CaptureTarget::Name);
        break;
    case HotKeyCommand::CaptureValue:
        m_captures.Capture(CaptureTarget::Value);
        break;
    case HotKeyCommand::LineBreak:
        m_captures.AppendLineBreak();
        break;
    case HotKeyCommand::CancelLast:
        m_captures.CancelLastItem();
        break;
    case HotKeyCommand::StopResume:
        ToggleRunState();
        break;
    case HotKeyCommand::HarvestAll:
        m_captures.Harvest();
        break;
    }
}

void AppController::ToggleRunState()
{
    SetRunState(!m_running);
}

void AppController::SetRunState(bool running)
{
    m_running = running;
    if (!running)
    {
        // The stop key stops a harvest under way, too.
        m_captures.CancelHarvests();
    }
    UpdatePreview();
    m_frame.ShowRunState(running);
    if (running)
    {
        m_log.RefreshIntroduction();
    }
    // While stopped only the stop/resume key stays, so that it can resume; it stays registered
    // through the switch, so that quick presses of it are never lost.
    m_hotKeys.Switch(m_settings, running);
}

void AppController::ToggleAlwaysOnTop()
{
    const bool checked = m_settings.alwaysOnTop == 0;
    m_settings.alwaysOnTop = checked ? 1 : 0;
    m_frame.ShowAlwaysOnTopCheck(checked);
    m_frame.SetTopMost(checked);
}

void AppController::ClearAll()
{
    // A copy still being read was made before: it never lands in the cleared log.
    m_copy.DropReadUnderWay();
    // In turn with the other changes of the log: a capture still reading is cleared too.
    m_captures.Change(
        [this]
        {
            m_clipboard.StartEmpty();
            m_log.ClearAll(m_nameBox, m_valueBox);
        });
}

void AppController::ShowHotKeyHelp()
{
    m_dialogs.ShowMessage(std::wstring(Text(UiText::HotKeyHelpTitle)), IntroductionText(m_settings),
                          MessageKind::Plain);
}

void AppController::SelectAllLog()
{
    m_log.SelectAll(m_frame.IsForeground());
}

// While the dialog is open the main window is inert and no hotkey is registered; copy capture
// goes on.
void AppController::OpenSettings()
{
    if (m_dialogs.IsSettingsDialogOpen())
    {
        m_dialogs.BringSettingsDialogToFront();
        return;
    }
    if (m_shutDown || !m_dialogs.OpenSettingsDialog(m_settings))
    {
        return;
    }
    m_frame.SetInputEnabled(false);
    m_hotKeys.Unregister();
}

void AppController::OnSettingsDialogClosed(DialogClose how)
{
    if (how != DialogClose::Shutdown)
    {
        ReapplySettings();
    }
    // Enabled while the dialog still exists, so that the system hands the activation back to
    // the main window when the dialog goes.
    m_frame.SetInputEnabled(true);
    // The keys just stored that another program holds; after Cancel nothing new was chosen.
    if (how == DialogClose::Ok || how == DialogClose::CloseBox)
    {
        const std::wstring refused = RefusedHotKeysText(m_settings, m_hotKeys.Refused());
        if (!refused.empty())
        {
            m_dialogs.ShowMessageLater(GetAppTitle(), refused, MessageKind::Warning);
        }
    }
}

// Everything the dialog may have changed, whichever way it closed.
void AppController::ReapplySettings()
{
    if (m_settings.captureCopies == 1)
    {
        m_copy.Start();
    }
    else
    {
        m_copy.End();
    }
    m_hotKeys.Register(m_settings, m_running);
    m_settings.separator = SeparatorFor(m_settings.tabSeparated);
    m_frame.ShowKeyLabels(KeyLabelsFor(m_settings));
    m_log.RefreshIntroduction();
}

void AppController::OnMinimized(bool minimized)
{
    m_minimized = minimized;
    UpdatePreview();
}

// The preview reads only while someone can see it: capture running, the window on screen.
void AppController::UpdatePreview()
{
    m_preview.SetRunning(m_started && m_running && !m_inTray && !m_minimized);
}

void AppController::Quit()
{
    m_frame.RequestClose();
}

// Every step runs, whatever an earlier one did, so that the settings are always saved.
void AppController::Shutdown(ShutdownCause cause)
{
    if (m_shutDown)
    {
        return;
    }
    m_shutDown = true;
    m_waitingForStartMessage = false;
    m_hotKeys.Unregister();
    m_copy.End();
    m_dialogs.CloseSettingsDialog();
    // Nothing changes the log any more. A close removes the journal; at the end of the session
    // it is written a last time and kept, as a restart for an update is when work gets lost.
    if (cause == ShutdownCause::SessionEnding)
    {
        // Windows waits only so long: Conf.txt, small and quick, goes first, then the journal,
        // which may be large. Windows is told why it waits, should it take long.
        m_frame.HoldSessionEnd(std::wstring(Text(UiText::SavingAtSessionEnd)));
        SaveSettings(cause);
        m_journal.EndAndKeep();
        m_frame.ReleaseSessionEnd();
    }
    else
    {
        m_journal.EndAndRemove();
        SaveSettings(cause);
    }
    // Armed only now, so that it cannot end the program under the box of a failed save.
    m_timers.ArmExitTimer();
    // No dead icon is left in the notification area.
    EndTrayIcon();
    m_tray.RemoveTrayIcon();
}

void AppController::SaveSettings(ShutdownCause cause)
{
    const StoreWrite written =
        WriteConf(m_conf, m_settings,
                  StoredGeometryOf(m_frame.CurrentPlacement(), m_frame.Displays().systemDpi));
    if (written.ok || cause == ShutdownCause::SessionEnding)
    {
        return;
    }
    std::wstring text(Text(UiText::SettingsNotSaved));
    text += L"\r\n";
    text += written.error;
    m_dialogs.ShowMessage(GetAppTitle(), text, MessageKind::Warning);
}

} // namespace mirufon
