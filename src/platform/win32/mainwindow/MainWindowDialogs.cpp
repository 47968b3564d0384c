// The windows the main window opens over itself: message boxes, the message window, the Save
// dialog, the settings dialog, the help page, and its icon in the notification area.

#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/mainwindow/MainWindow.h"
#include "platform/win32/mainwindow/SaveFileDialog.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "shell/AppInfo.h"
#include "text/UiText.h"

#include <shellapi.h>

namespace mirufon::win32
{

void MainWindow::ShowMessage(const std::wstring& title, const std::wstring& text, MessageKind kind)
{
    const UINT icon = kind == MessageKind::Warning ? MB_ICONWARNING : 0;
    // A box owned by a hidden window has no taskbar button, and the system keeps a program that
    // is not in the foreground from taking it: kept above every window, the box is seen even
    // when it cannot be activated. MB_SYSTEMMODAL is application-modal with WS_EX_TOPMOST, and
    // Wine, unlike MB_TOPMOST, honours it.
    const UINT inFront = kind == MessageKind::PlainInFront ? MB_SYSTEMMODAL | MB_SETFOREGROUND : 0;
    ::MessageBoxW(Handle(), text.c_str(), title.c_str(), MB_OK | icon | inFront);
}

void MainWindow::ShowMessageLater(const std::wstring& title, const std::wstring& text,
                                  MessageKind kind)
{
    m_laterMessages.push_back(LaterMessage{title, text, kind});
    ::PostMessageW(Handle(), kShowLaterMessages, 0, 0);
}

void MainWindow::ShowLaterMessages()
{
    // Taken first: a box's own message loop may queue another, which its own post shows.
    std::vector<LaterMessage> messages = std::move(m_laterMessages);
    m_laterMessages.clear();
    for (const LaterMessage& message : messages)
    {
        ShowMessage(message.title, message.text, message.kind);
    }
}

void MainWindow::ShowTransientMessage(const std::wstring& text, int durationMs)
{
    // The controller hears of the close through a message of the window's own, so that the
    // message window is not destroyed from inside its own handler.
    HWND window = Handle();
    m_messageWindow = std::make_unique<MessageWindow>(
        m_instance, [window] { ::PostMessageW(window, kMessageWindowClosed, 0, 0); });
    if (!m_messageWindow->Show(text, durationMs, window))
    {
        // Nothing was shown: start-up goes on as if it had been.
        ::PostMessageW(window, kMessageWindowClosed, 0, 0);
    }
}

void MainWindow::OnMessageWindowClosed()
{
    m_messageWindow.reset();
    m_controller->OnTransientMessageClosed();
}

bool MainWindow::AskYesNo(const std::wstring& title, const std::wstring& text)
{
    return ::MessageBoxW(Handle(), text.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

SaveChoice MainWindow::ChooseSaveFile(const std::wstring& suggestedName, const std::wstring& folder)
{
    return win32::ChooseSaveFile(Handle(), suggestedName, folder);
}

// The help page ships beside the executable and opens in the system's browser.
void MainWindow::OpenHelpPage()
{
    const std::wstring page =
        ExecutableDirectory() + L"\\" +
        (CurrentLanguage() == Language::Japanese ? kHelpPageName : kEnglishHelpPageName);
    ::ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool MainWindow::EnterTray()
{
    if (!m_tray.Add(Handle(), GetAppTitle()))
    {
        return false;
    }
    ::ShowWindow(Handle(), SW_HIDE);
    return true;
}

bool MainWindow::RestoreTrayIcon()
{
    return m_tray.Restore();
}

// The menu that chose this was in front, so the program may bring its window forward.
void MainWindow::ShowFromTray()
{
    ::ShowWindow(Handle(), ::IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(Handle());
}

void MainWindow::LeaveTray()
{
    m_tray.Delete();
    ::ShowWindow(Handle(), SW_SHOWNA);
}

void MainWindow::RemoveTrayIcon()
{
    m_tray.Delete();
}

void MainWindow::ShowTrayMenu()
{
    m_menus.ShowTrayMenu();
}

bool MainWindow::OpenSettingsDialog(Settings& settings)
{
    m_settingsDialog = std::make_unique<SettingsDialog>(
        m_instance, Handle(), settings,
        [this](DialogClose how) { m_controller->OnSettingsDialogClosed(how); });
    if (!m_settingsDialog->Open())
    {
        m_settingsDialog.reset();
        return false;
    }
    return true;
}

bool MainWindow::IsSettingsDialogOpen() const
{
    return m_settingsDialog && m_settingsDialog->IsOpen();
}

void MainWindow::BringSettingsDialogToFront()
{
    if (m_settingsDialog)
    {
        m_settingsDialog->BringToFront();
    }
}

void MainWindow::CloseSettingsDialog()
{
    if (m_settingsDialog)
    {
        m_settingsDialog->Close();
    }
}

} // namespace mirufon::win32
