#pragma once

#include "platform/win32/mainwindow/FindDialog.h"
#include "platform/win32/mainwindow/MainControls.h"
#include "platform/win32/mainwindow/MainMenus.h"
#include "platform/win32/mainwindow/MainWindowSignals.h"
#include "platform/win32/mainwindow/MessageWindow.h"
#include "platform/win32/mainwindow/TrayIcon.h"
#include "platform/win32/mainwindow/Win32TextBox.h"
#include "platform/win32/reading/Win32ReadWorkers.h"
#include "platform/win32/settingsdialog/SettingsDialog.h"
#include "platform/win32/window/Handles.h"
#include "platform/win32/window/Monitors.h"
#include "platform/win32/window/WindowBase.h"
#include "platform/win32/window/WindowIcons.h"
#include "shell/AppController.h"
#include "shell/Dialogs.h"
#include "shell/Timers.h"
#include "shell/TrayView.h"
#include "shell/WindowFrame.h"

#include <memory>
#include <string>
#include <vector>

namespace mirufon::win32
{

// The program's main window: it creates its controls and menus, places itself on the monitors,
// routes its messages to the controller and draws what the controller tells it.
class MainWindow final : public WindowBase,
                         private WindowFrame,
                         private Dialogs,
                         private TrayView,
                         private Timers,
                         private CaptureFeedback
{
  public:
    explicit MainWindow(HINSTANCE instance, const MonitorLayout& monitors = SystemMonitors());

    // Creates the window, hidden, with its controls; the controller shows it once start-up is
    // done. False when the window or one of its controls could not be created; StartError then
    // gives the system's error number for it (0 when none is known).
    bool Create();
    DWORD StartError() const { return m_startError; }
    // The window's roles and text boxes, for the controller.
    MainWindowParts Parts();
    // The settings dialog's keyboard interface and the main window's shortcut (Ctrl+S), for
    // the thread's message loop: true when the message has been handled.
    bool TranslateDialogMessage(MSG& message);

  private:
    friend class ControllerConnection;
    struct LaterMessage
    {
        std::wstring title;
        std::wstring text;
        MessageKind kind;
    };

    // The controller the window's events go to, from now on; Disconnect closes the dialogs,
    // which call the controller, and routes nothing more.
    void Connect(AppController& controller);
    void Disconnect();

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate();
    // The menus' and shortcuts' commands (MainWindowCommands.cpp).
    void OnCommand(int id);
    void OnTimer(UINT_PTR id);
    void OnDpiChanged(int dotsPerInch, const RECT& suggested);
    void OnMessageWindowClosed();
    void ShowLaterMessages();
    // The log's files (MainWindowLog.cpp).
    void CreateShortcuts();
    bool TranslateShortcut(MSG& message);
    void OnLogContextMenu(LPARAM point);
    // Finding text in the log (MainWindowFind.cpp).
    void OpenFindDialog();
    void OnFindRequest(LPARAM request);
    void FindAgain(SearchDirection direction);
    void FindInLog(SearchDirection direction);

    // The roles the controller drives (shell/WindowFrame.h, Dialogs.h, TrayView.h, Timers.h) and
    // the capture engine's feedback: the window itself in MainWindowFrame.cpp, the windows it
    // opens over itself in MainWindowDialogs.cpp.
    DefaultGeometry CreatedGeometry() const override;
    DisplayAreas Displays() const override;
    void PlaceWindow(const WindowPixels& placement) override;
    WindowPixels CurrentPlacement() const override;
    void LayOut() override;
    void ShowWindow() override;
    void SetInputEnabled(bool enabled) override;
    void RequestClose() override;
    void ShowRunState(bool running) override;
    void SetPreviewRunning(bool running) override;
    void SetPreviewInterval(std::int64_t milliseconds) override;
    void SetKeyWatchRunning(bool running) override;
    void ShowAlwaysOnTopCheck(bool checked) override;
    void SetTopMost(bool topMost) override;
    void ShowKeyLabels(const KeyLabels& labels) override;
    bool IsForeground() const override;
    void HoldSessionEnd(const std::wstring& reason) override;
    void ReleaseSessionEnd() override;
    void ShowMessage(const std::wstring& title, const std::wstring& text,
                     MessageKind kind) override;
    void ShowMessageLater(const std::wstring& title, const std::wstring& text,
                          MessageKind kind) override;
    bool AskYesNo(const std::wstring& title, const std::wstring& text) override;
    SaveChoice ChooseSaveFile(const std::wstring& suggestedName,
                              const std::wstring& folder) override;
    void WakeJournalTimer(std::int64_t milliseconds) override;
    void WakeTrayTimer(std::int64_t milliseconds) override;
    void ShowTransientMessage(const std::wstring& text, int durationMs) override;
    void OpenHelpPage() override;
    bool EnterTray() override;
    bool RestoreTrayIcon() override;
    void ShowFromTray() override;
    void LeaveTray() override;
    void RemoveTrayIcon() override;
    void ShowTrayMenu() override;
    bool OpenSettingsDialog(Settings& settings) override;
    bool IsSettingsDialogOpen() const override;
    void BringSettingsDialogToFront() override;
    void CloseSettingsDialog() override;
    void ArmExitTimer() override;
    void Beep() override;
    void WakeReadTimer(std::int64_t milliseconds) override;

    HINSTANCE m_instance;
    const MonitorLayout& m_monitors;
    MainControls m_controls;
    MainMenus m_menus;
    WindowIcons m_icons;
    TrayIcon m_tray;
    UniqueAccelerators m_shortcuts;
    UINT m_taskbarCreated = 0;
    RECT m_createdRect{};
    // True while PlaceWindow moves the window: a change of scale on the way keeps the size
    // chosen for the monitor it goes to.
    bool m_placing = false;
    DWORD m_startError = 0;

    // Null until connected, and again once disconnected.
    AppController* m_controller = nullptr;
    FindDialog m_findDialog;
    std::unique_ptr<SettingsDialog> m_settingsDialog;
    std::unique_ptr<MessageWindow> m_messageWindow;
    std::vector<LaterMessage> m_laterMessages;
};

// The window's route to the controller, for as long as this lives. Made once the controller
// exists and gone before it: the window's dialogs close while the controller they call is still
// there, and no event of the window reaches a controller that is gone.
class ControllerConnection
{
  public:
    ControllerConnection(MainWindow& window, AppController& controller) : m_window(window)
    {
        window.Connect(controller);
    }
    ControllerConnection(const ControllerConnection&) = delete;
    ControllerConnection& operator=(const ControllerConnection&) = delete;
    ~ControllerConnection() { m_window.Disconnect(); }

  private:
    MainWindow& m_window;
};

} // namespace mirufon::win32
