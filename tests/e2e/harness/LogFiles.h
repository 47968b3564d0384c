#pragma once

// The log's files as a user meets them: the Save dialog, the boxes that ask or report, the
// journal on disk and the UTF-8 the program writes.

#include "e2e/harness/Harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace e2e
{

// The file name box of the system's Save dialog: in Wine's (an old-style "#32770" dialog
// titled "保存") its child edt1; in Windows' the edit box of the combo box cmb13 (1148) or
// 1001, nested inside the dialog's view windows.
HWND FileNameBox(HWND dialog);

// The program's Save dialog once it is shown with its file name box.
HWND WaitForSaveDialog(const App& app, std::chrono::milliseconds timeout = 10s);
// Whether a Save dialog of the program appears within the period (for keys that must not
// open one).
::testing::AssertionResult NoSaveDialogFor(const App& app,
                                           std::chrono::milliseconds period = 700ms);
// Types the name into the dialog's file name box over what it shows, as a user would, and
// presses Enter.
bool SaveAs(HWND dialog, const std::wstring& name);

// A box of the program with the title that shows the button (IDOK, IDYES, ...).
HWND WaitForBox(const App& app, const std::wstring& title, int button,
                std::chrono::milliseconds timeout = 10s);
// Any box of the program's own dialogs' threads showing the button, whatever its title.
HWND WaitForAnyBox(const App& app, int button, std::chrono::milliseconds timeout = 10s);
// Clicks the button of the box and waits until the box is gone.
bool Answer(HWND box, int button);

// Right-clicks the log and waits for its context menu.
bool OpenLogMenu(HWND mainWindow);

// The bytes the program writes for a text: a UTF-8 byte-order mark and the text in UTF-8.
std::string Utf8File(const std::wstring& text);
// The names of the files in the folder (no folders), sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder);

// The journal's folder and the journal of a program started from the folder.
inline std::wstring JournalFolderOf(const TempFolder& folder)
{
    return folder.File(L"Mirufon\\Journal");
}
inline std::wstring JournalOf(const TempFolder& folder)
{
    return JournalFolderOf(folder) + L"\\mirufon-journal.txt";
}

// Sets an environment variable of the driver, inherited by the programs it starts, for the
// object's lifetime.
class ScopedEnvironment
{
  public:
    ScopedEnvironment(const std::wstring& name, const std::wstring& value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

  private:
    std::wstring m_name;
    std::optional<std::wstring> m_previous;
};

} // namespace e2e
