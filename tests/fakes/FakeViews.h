#pragma once

#include "capture/CaptureFeedback.h"
#include "shell/Dialogs.h"
#include "shell/Timers.h"
#include "shell/TrayView.h"
#include "shell/WindowFrame.h"

#include <functional>
#include <string>
#include <vector>

namespace mirufon
{

// Writes "what" to a journal that several fakes share, so that a test can follow the order of
// calls across them.
class Journal
{
  public:
    explicit Journal(std::vector<std::string>* lines) : m_lines(lines) {}
    void Note(std::string line) const
    {
        if (m_lines)
        {
            m_lines->push_back(std::move(line));
        }
    }

  private:
    std::vector<std::string>* m_lines;
};

inline std::string OnOff(bool on)
{
    return on ? "on" : "off";
}

// The main window's roles as lists of what they were told to do, all in one journal.
class FakeFrame final : public WindowFrame
{
  public:
    explicit FakeFrame(std::vector<std::string>* journal) : m_journal(journal) {}

    bool foreground = false;
    WindowPixels placed; // what PlaceWindow was given last

    DefaultGeometry CreatedGeometry() const override { return {19200, 12000, 6840, 4200}; }
    // One screen of 1280 x 800 pixels at 96 DPI, its taskbar 40 pixels high.
    DisplayAreas Displays() const override { return {{{{0, 0, 1280, 760}, 96, 30}}, 96}; }
    void PlaceWindow(const WindowPixels& placement) override
    {
        placed = placement;
        m_journal.Note("geometry");
    }
    WindowPixels CurrentPlacement() const override { return {{10, 20, 466, 300}, 96}; }
    void LayOut() override { m_journal.Note("layout"); }
    void ShowWindow() override { m_journal.Note("show"); }
    void SetInputEnabled(bool enabled) override { m_journal.Note("input " + OnOff(enabled)); }
    void RequestClose() override { m_journal.Note("close"); }
    void ShowRunState(bool running) override { m_journal.Note("running " + OnOff(running)); }
    void ShowAlwaysOnTopCheck(bool checked) override { m_journal.Note("check " + OnOff(checked)); }
    void SetTopMost(bool topMost) override { m_journal.Note("topmost " + OnOff(topMost)); }
    void ShowKeyLabels(const KeyLabels&) override { m_journal.Note("labels"); }
    bool IsForeground() const override { return foreground; }
    void HoldSessionEnd(const std::wstring&) override { m_journal.Note("hold session end"); }
    void ReleaseSessionEnd() override { m_journal.Note("release session end"); }

  private:
    Journal m_journal;
};

// The settings dialog it "opens" stays open until the test closes it through the controller.
class FakeDialogs final : public Dialogs
{
  public:
    explicit FakeDialogs(std::vector<std::string>* journal) : m_journal(journal) {}

    Settings* dialogSettings = nullptr;    // the settings the open dialog edits
    std::vector<std::wstring> messages;    // title + "|" + text of every box shown
    bool answerYes = true;                 // the answer to a question
    std::function<void()> whileAsking;     // runs while the question is shown
    SaveChoice saveChoice;                 // what the Save dialog gives
    std::vector<std::wstring> saveDialogs; // suggested name + "|" + folder of every dialog

    void ShowMessage(const std::wstring& title, const std::wstring& text, MessageKind kind) override
    {
        messages.push_back(title + L"|" + text);
        m_journal.Note(kind == MessageKind::Warning ? "warning box" : "box");
    }
    void ShowMessageLater(const std::wstring& title, const std::wstring& text,
                          MessageKind kind) override
    {
        messages.push_back(title + L"|" + text);
        m_journal.Note(kind == MessageKind::Warning ? "warning box later" : "box later");
    }
    bool AskYesNo(const std::wstring& title, const std::wstring& text) override
    {
        messages.push_back(title + L"|" + text);
        m_journal.Note("ask");
        if (whileAsking)
        {
            whileAsking();
        }
        return answerYes;
    }
    SaveChoice ChooseSaveFile(const std::wstring& suggestedName,
                              const std::wstring& folder) override
    {
        saveDialogs.push_back(suggestedName + L"|" + folder);
        m_journal.Note("save dialog");
        return saveChoice;
    }
    void ShowTransientMessage(const std::wstring&, int) override { m_journal.Note("message"); }
    void OpenHelpPage() override { m_journal.Note("help page"); }
    bool OpenSettingsDialog(Settings& settings) override
    {
        m_journal.Note("open dialog");
        dialogSettings = &settings;
        return true;
    }
    bool IsSettingsDialogOpen() const override { return dialogSettings != nullptr; }
    void BringSettingsDialogToFront() override { m_journal.Note("dialog to front"); }
    void CloseSettingsDialog() override { m_journal.Note("close dialog"); }

  private:
    Journal m_journal;
};

class FakeTray final : public TrayView
{
  public:
    explicit FakeTray(std::vector<std::string>* journal) : m_journal(journal) {}

    int refusals = 0; // how many more times the shell refuses the icon

    bool EnterTray() override
    {
        m_journal.Note("enter tray");
        return Offer();
    }
    bool RestoreTrayIcon() override
    {
        m_journal.Note("restore icon");
        return Offer();
    }
    void ShowFromTray() override { m_journal.Note("show from tray"); }
    void LeaveTray() override { m_journal.Note("leave tray"); }
    void RemoveTrayIcon() override { m_journal.Note("remove icon"); }
    void ShowTrayMenu() override { m_journal.Note("tray menu"); }

  private:
    bool Offer()
    {
        const bool taken = refusals == 0;
        refusals -= taken ? 0 : 1;
        return taken;
    }

    Journal m_journal;
};

class FakeTimers final : public Timers, public CaptureFeedback
{
  public:
    explicit FakeTimers(std::vector<std::string>* journal) : m_journal(journal) {}

    std::int64_t readTimer = -1;    // the last wake-up asked for, -1 for none
    std::int64_t journalTimer = -1; // the same for the journal
    std::int64_t trayTimer = -1;    // and for the tray icon's next attempt

    std::int64_t previewInterval = 0; // the last interval asked for, 0 for none

    void SetPreviewRunning(bool running) override { m_journal.Note("preview " + OnOff(running)); }
    void SetPreviewInterval(std::int64_t milliseconds) override { previewInterval = milliseconds; }
    void SetKeyWatchRunning(bool) override {}
    void WakeJournalTimer(std::int64_t milliseconds) override { journalTimer = milliseconds; }
    void WakeTrayTimer(std::int64_t milliseconds) override { trayTimer = milliseconds; }
    void ArmExitTimer() override { m_journal.Note("exit timer"); }
    void Beep() override { m_journal.Note("beep"); }
    void WakeReadTimer(std::int64_t milliseconds) override { readTimer = milliseconds; }

  private:
    Journal m_journal;
};

} // namespace mirufon
