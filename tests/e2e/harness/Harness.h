#pragma once

// The end-to-end harness: starts mirufon.exe from a temporary folder, finds its windows, reads
// and drives them as a user would, and ends every process it started.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/win32/storage/TextCodec.h"
#include "support/Files.h"
#include "support/ProcessObjects.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e
{

using namespace std::chrono_literals;

// Polls until the condition holds or the timeout passes, pumping this thread's messages in
// between. True when the condition held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

// UTF-16 <-> UTF-8 for readable failure messages.
std::string Utf8(const std::wstring& text);

using testsupport::ReadBytes;
using testsupport::WriteBytes;

// A fresh folder for a test: the program, its Conf.txt and its logs.
class TempFolder : public testsupport::TempFolder
{
  public:
    TempFolder() : testsupport::TempFolder(L"mirufon-e2e-") {}
};

// Text in the ANSI code page, as Conf.txt holds it: the program's own conversions.
using mirufon::win32::AnsiToWide;
using mirufon::win32::WideToAnsi;

// Where a window that the suite places for a 1280x800 screen goes on this screen: as far from
// the nearest left or right edge, and from the nearest top or bottom edge, as it was there.
// The program's window opens centred, so a window placed clear of it on the one screen stays
// clear of it on a larger or smaller one.
POINT OnThisScreen(POINT placedFor1280x800);

// The folder holding the driver, where the build puts mirufon.exe too.
std::wstring DriverFolder();
// The mirufon.exe the build put beside the driver.
std::wstring BuiltProgram();

// One running copy of the program. The destructor ends the process by its id if it is still
// running, so no test leaves a process behind.
class App
{
  public:
    // Copies the program file source (the build's mirufon.exe unless given) into folder as
    // exeName and starts it there, with the folder as %LOCALAPPDATA%: each test has its own, as
    // each user has on Windows.
    App(const TempFolder& folder, const std::wstring& exeName = L"mirufon.exe",
        const std::wstring& source = BuiltProgram());
    // Starts the program at exePath where it is, in its own folder, as a user does after
    // unpacking it; or in another current folder, as Windows starts programs at logon.
    explicit App(const std::wstring& exePath, const std::wstring& currentFolder = L"");
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App();

    DWORD ProcessId() const { return m_process.dwProcessId; }
    // Why the program could not be started; empty when it was.
    const std::wstring& StartError() const { return m_startError; }
    bool IsRunning() const;
    // Waits for the process to end; true when it did within the timeout.
    bool WaitForExit(std::chrono::milliseconds timeout = 10s) const;
    DWORD ExitCode() const;

    // The main window, once it is shown (empty handle after the timeout).
    // A loaded machine has been seen to take over 15 s to bring a Wine program's first window
    // up, old builds and new alike.
    HWND MainWindow(std::chrono::milliseconds timeout = 30s) const;
    // A top-level window of this process with the given class (any when empty) and caption.
    HWND FindWindowOf(const std::wstring& className, const std::wstring& caption) const;
    // Asks the main window to close, as its close box does, and waits for the process to end.
    bool Close(std::chrono::milliseconds timeout = 10s);
    void Kill();

  private:
    void Start(const std::wstring& exePath, const std::wstring& currentFolder = L"");

    PROCESS_INFORMATION m_process{};
    std::wstring m_startError;
};

// While it lives, no file can be created, renamed or removed in the folder, by the programs the
// driver starts as by the driver itself, as in a folder under Program Files for a user. On
// Windows an entry that denies it in the folder's access list does it; Wine ignores access
// lists, so there the Unix script lock-folder.sh beside the driver does it. Wine starts the
// script without a handle to wait on, so both ends wait for the folder to change.
class LockedFolder
{
  public:
    explicit LockedFolder(std::wstring folder);
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;
    ~LockedFolder();
    bool Locked() const { return m_locked; }

  private:
    std::wstring m_folder;
    bool m_locked = false;
    // On Windows, the folder's access list before the lock, put back after it.
    PSECURITY_DESCRIPTOR m_savedDescriptor = nullptr;
    PACL m_savedList = nullptr;
};

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

using testsupport::DescendantsOf;
using testsupport::TopLevelWindowsOf;
// The first of the windows that matches, or null.
HWND FirstWhere(const std::vector<HWND>& windows, const std::function<bool(HWND)>& matches);
HWND Control(HWND parent, int id);

} // namespace e2e

namespace e2e
{

// Saves what the screen shows of the window (frame and title bar included) as a 24-bit BMP.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

// What the screen shows in the rectangle, row by row, read in one go (one pixel at a time,
// a few thousand pixels take a good part of a second under Wine).
std::vector<COLORREF> ScreenPixels(const RECT& area);

// The folder for screenshots and other artifacts of the run (MIRUFON_ARTIFACTS), or the
// temporary folder.
std::wstring ArtifactFolder();

} // namespace e2e
