#pragma once

// Wine's own regedit and task manager, programs nobody here wrote, started beside the program
// under test so that it reads their tree and list views across processes. The driver finds
// their items through its own cross-process messages.

#include "e2e/harness/Harness.h"
#include "e2e/harness/RemoteControls.h"

#include <functional>
#include <optional>
#include <string>

namespace e2e
{

// A program started by the driver and ended by its process id.
class StartedProgram
{
  public:
    explicit StartedProgram(const std::wstring& commandLine);
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram();

    DWORD ProcessId() const { return m_process.dwProcessId; }
    // The program's visible top-level window with a caption and the class (any when empty),
    // once it is shown; nothing after the timeout.
    HWND WaitForWindow(const std::wstring& className, std::chrono::milliseconds timeout) const;

  private:
    PROCESS_INFORMATION m_process{};
};

// Places the window (outer frame, screen coordinates), above all others, in the foreground.
void PlaceInFront(HWND window, POINT position, SIZE size);

// The default places keep clear of the program's main window, which opens centred on a
// 1280x800 screen at 96 DPI (from about 417,265 to 862,535): regedit across the top,
// the task manager down the left.
class Regedit
{
  public:
    explicit Regedit(POINT position = POINT{10, 0}, SIZE size = SIZE{1260, 262});

    bool Started() const { return m_listView != nullptr && m_remote.Ready(); }
    HWND Window() const { return m_window; }
    HWND TreeView() const { return m_treeView; }
    HWND ListView() const { return m_listView; }

    // Selects the key, given as a path from its hive (such as
    // HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements), expanding the keys above it, and
    // waits until the value list shows its values; false when the key is not there.
    bool OpenKey(const std::wstring& path);
    // The screen centre of the key's label in the tree, expanded to and scrolled into view.
    std::optional<POINT> KeyPoint(const std::wstring& path);
    // The screen centre of a cell in the value list of the open key: column 0 the value's
    // name, 1 its type, 2 its data; scrolled into view.
    std::optional<POINT> ValuePoint(const std::wstring& name, int column = 0);
    // The text of a cell in the value list, as the driver reads it.
    std::wstring ValueText(const std::wstring& name, int column) const;

  private:
    HTREEITEM FindKey(const std::wstring& path) const;
    HTREEITEM FindChild(HTREEITEM parent, const std::wstring& name) const;

    StartedProgram m_program{L"regedit.exe"};
    HWND m_window = nullptr;
    HWND m_treeView = nullptr;
    HWND m_listView = nullptr;
    RemoteControls m_remote{nullptr};
};

class TaskManager
{
  public:
    explicit TaskManager(POINT position = POINT{5, 240}, SIZE size = SIZE{405, 500});

    bool Started() const { return m_window != nullptr && m_remote.Ready(); }
    HWND Window() const { return m_window; }

    // Shows the page that lists the processes (trying the tabs in turn until a list shows the
    // image name) and gives the screen centre of that name; nothing when no list shows it.
    std::optional<POINT> ProcessPoint(const std::wstring& imageName);
    // The list of processes, once ProcessPoint found it.
    HWND ProcessList() const { return m_processList; }
    // Shows a page with a visible disabled button (the buttons that act on a selection of the
    // applications page, while nothing is selected) and gives that button; nothing when no
    // page has one.
    HWND ShowDisabledButton();

  private:
    HWND VisibleListWith(const std::wstring& imageName) const;
    // What find gives on the page on show or, failing that, on the first tab's page where it
    // gives something; nothing when no page has it.
    HWND ShowPageWith(const std::function<HWND()>& find);

    StartedProgram m_program{L"taskmgr.exe"};
    HWND m_window = nullptr;
    HWND m_processList = nullptr;
    RemoteControls m_remote{nullptr};
};

} // namespace e2e
