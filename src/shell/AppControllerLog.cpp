// The controller's sequences around the log's files: the offer of a log an earlier run left,
// the journal that mirrors the log, and saving the log to a file of the user's choice.

#include "hotkeys/KeyTexts.h"
#include "platform/ScopedFlag.h"
#include "shell/AppController.h"
#include "shell/AppInfo.h"
#include "shell/LogFileNames.h"
#include "text/UiText.h"

namespace mirufon
{
// A journal left by an earlier run means that it did not end by a close (a crash, a power cut,
// Windows restarting): its log is offered back once, before any hotkey can add to the log.
void AppController::OfferLeftOverLog()
{
    const std::optional<std::wstring> leftOver = m_journal.LeftOver(IntroductionText(m_settings));
    if (!leftOver)
    {
        m_journal.Begin();
        return;
    }
    const bool restore =
        m_dialogs.AskYesNo(GetAppTitle(), std::wstring(Text(UiText::RestoreQuestion)));
    if (m_shutDown)
    {
        return; // not answered: offered again at the next start
    }
    if (restore)
    {
        m_log.ShowRestored(*leftOver);
        m_journal.Begin();
        return;
    }
    // Kept under a dated name. Should even that fail, it stays where it is, offered again at the
    // next start, and this run keeps no journal rather than write over it.
    if (m_journal.SetAside(SetAsideJournalName(m_logFiles.Now())))
    {
        m_journal.Begin();
    }
}

bool AppController::CanSaveLog() const
{
    return m_started && !m_shutDown && !m_saving && !m_dialogs.IsSettingsDialogOpen() &&
           !m_log.IsShowingIntroduction();
}

void AppController::SaveLog()
{
    if (!CanSaveLog())
    {
        return;
    }
    const ScopedFlag saving(m_saving);
    // While the dialog is open the keys reach it: a capital letter typed into the file name must
    // not be taken as a hotkey. Copy capture goes on.
    m_hotKeys.Unregister();
    SaveLogToChosenFile();
    if (!m_shutDown)
    {
        m_hotKeys.Register(m_settings, m_running);
    }
}

void AppController::SaveLogToChosenFile()
{
    const SaveChoice choice =
        m_dialogs.ChooseSaveFile(SavedLogName(m_logFiles.Now()), m_lastSaveFolder);
    if (m_shutDown)
    {
        return;
    }
    if (!choice.path)
    {
        if (!choice.error.empty())
        {
            ShowSaveFailure(choice.error);
        }
        return;
    }
    m_lastSaveFolder = FolderOf(*choice.path);
    // The log as it is now: copies may have come in while the dialog was open.
    const StoreWrite written = m_logFiles.Save(*choice.path, m_logBox.Text());
    if (!written.ok)
    {
        ShowSaveFailure(written.error);
    }
}

void AppController::ShowSaveFailure(const std::wstring& error)
{
    m_dialogs.ShowMessage(GetAppTitle(), std::wstring(Text(UiText::LogNotSaved)) + L"\r\n" + error,
                          MessageKind::Warning);
}

void AppController::OnLogEdited()
{
    // The program's own edits were told already, through the observed box.
    if (m_observedLog.IsChanging())
    {
        return;
    }
    m_log.ForgetHarvest();
    m_journal.OnChange();
}

void AppController::OnJournalTimer()
{
    m_journal.OnTimer();
}

// The log's text for the journal; an untouched introduction is nothing to recover.
std::wstring AppController::JournalText() const
{
    std::wstring text = m_logBox.Text();
    if (m_log.IsShowingIntroduction() && text == IntroductionText(m_settings))
    {
        return {};
    }
    return text;
}

} // namespace mirufon
