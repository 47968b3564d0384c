// The main window's part in finding text in the log: the Find dialog, F3 and Shift+F3, and the
// occurrence found selected in the log.

#include "platform/win32/mainwindow/MainWindow.h"

namespace mirufon::win32
{

void MainWindow::OpenFindDialog()
{
    const Settings& settings = m_controller->CurrentSettings();
    m_findDialog.Open(Handle(), settings.searchString,
                      MatchingFor(settings.searchFuzzy) == Matching::Exact);
}

void MainWindow::OnFindRequest(LPARAM request)
{
    if (std::optional<FindRequest> find = m_findDialog.TakeRequest(request))
    {
        m_controller->RememberSearch(std::move(find->what), find->matchCase);
        FindInLog(find->direction);
    }
}

// Without a search text yet, F3 asks for one.
void MainWindow::FindAgain(SearchDirection direction)
{
    if (m_controller->CurrentSettings().searchString.empty())
    {
        OpenFindDialog();
        return;
    }
    FindInLog(direction);
}

// The occurrence found is selected and scrolled into view; the caret and selection stay the
// user's, as a capture appends at the log's end whatever they are. Nothing found: a beep, never
// a box to close at each press.
void MainWindow::FindInLog(SearchDirection direction)
{
    HWND log = m_controls.Log().Handle();
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(log, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    const std::optional<TextSpan> found = m_controller->FindInLog({start, end}, direction);
    if (!found)
    {
        Beep();
        return;
    }
    ::SendMessageW(log, EM_SETSEL, found->start, static_cast<LPARAM>(found->end));
    ::SendMessageW(log, EM_SCROLLCARET, 0, 0);
}

} // namespace mirufon::win32
