#include "e2e/harness/Harness.h"

#include "e2e/harness/LogFiles.h"
#include "e2e/harness/SystemChecks.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "support/MessagePump.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <utility>

namespace e2e
{
namespace
{

// The driver sees the screen as the program does, in physical pixels at every scaling.
const bool g_dpiAware = ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

// A run started by a double click on Windows shows its console window in the middle of the
// screen, where it would cover windows the tests click: it is minimised while the tests run
// and shown again for their summary.
class ConsoleOutOfTheWay : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        m_console = ::GetConsoleWindow();
        m_minimised = m_console && ::IsWindowVisible(m_console) && !::IsIconic(m_console) &&
                      ::ShowWindow(m_console, SW_MINIMIZE);
    }
    void TearDown() override
    {
        if (m_minimised)
        {
            ::ShowWindow(m_console, SW_RESTORE);
        }
    }

  private:
    HWND m_console = nullptr;
    bool m_minimised = false;
};

// gtest owns the environment and deletes it at the end of the run.
::testing::Environment* const g_console =
    ::testing::AddGlobalTestEnvironment(std::make_unique<ConsoleOutOfTheWay>().release());

} // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    return testsupport::DispatchUntil(condition, timeout);
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
    {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    return bytes;
}

namespace
{

// The Unix path of a path of the driver's, through Wine's own export.
std::wstring UnixPath(const std::wstring& path)
{
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = convert ? convert(path.c_str()) : nullptr;
    const std::wstring wide = name ? mirufon::win32::Utf8ToWide(name) : L"";
    ::HeapFree(::GetProcessHeap(), 0, name);
    return wide;
}

// Starts "sh lock-folder.sh lock|unlock folder" as a Unix program, which has no handles.
void RunLockScript(const std::wstring& action, const std::wstring& folder)
{
    std::wstring commandLine = L"/bin/sh \"" + UnixPath(DriverFolder() + L"\\lock-folder.sh") +
                               L"\" " + action + L" \"" + UnixPath(folder) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ::CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process);
}

// The folder's access list, for putting it back.
struct SavedAccess
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL list = nullptr;
};

// On Windows, which honours access lists (Wine does not): denies everyone the right to add or
// remove entries of the folder, as a folder under Program Files denies a user.
SavedAccess DenyChanges(const std::wstring& folder)
{
    SavedAccess saved;
    if (::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &saved.list, nullptr, &saved.descriptor) != ERROR_SUCCESS)
    {
        return saved;
    }
    EXPLICIT_ACCESSW deny{};
    deny.grfAccessPermissions = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD;
    deny.grfAccessMode = DENY_ACCESS;
    deny.grfInheritance = NO_INHERITANCE;
    wchar_t everyone[] = L"EVERYONE";
    ::BuildTrusteeWithNameW(&deny.Trustee, everyone);
    PACL denying = nullptr;
    if (::SetEntriesInAclW(1, &deny, saved.list, &denying) == ERROR_SUCCESS)
    {
        ::SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                DACL_SECURITY_INFORMATION, nullptr, nullptr, denying, nullptr);
        ::LocalFree(denying);
    }
    return saved;
}

void PutBack(const std::wstring& folder, SavedAccess& saved)
{
    if (saved.descriptor)
    {
        ::SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                DACL_SECURITY_INFORMATION, nullptr, nullptr, saved.list, nullptr);
        ::LocalFree(saved.descriptor);
        saved = SavedAccess{};
    }
}

} // namespace

LockedFolder::LockedFolder(std::wstring folder) : m_folder(std::move(folder))
{
    if (UnderWine())
    {
        RunLockScript(L"lock", m_folder);
    }
    else
    {
        const SavedAccess saved = DenyChanges(m_folder);
        m_savedDescriptor = saved.descriptor;
        m_savedList = saved.list;
    }
    m_locked = WaitUntil([this] { return !mirufon::win32::CanCreateFilesIn(m_folder); });
}

LockedFolder::~LockedFolder()
{
    if (UnderWine())
    {
        RunLockScript(L"unlock", m_folder);
    }
    else
    {
        SavedAccess saved{m_savedDescriptor, m_savedList};
        PutBack(m_folder, saved);
    }
    WaitUntil([this] { return mirufon::win32::CanCreateFilesIn(m_folder); });
}

POINT OnThisScreen(POINT placed)
{
    const POINT designed{1280, 800};
    const POINT screen{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return POINT{placed.x < designed.x / 2 ? placed.x : placed.x + screen.x - designed.x,
                 placed.y < designed.y / 2 ? placed.y : placed.y + screen.y - designed.y};
}

std::wstring DriverFolder()
{
    wchar_t path[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring BuiltProgram()
{
    return DriverFolder() + L"\\mirufon.exe";
}

App::App(const TempFolder& folder, const std::wstring& exeName, const std::wstring& source)
{
    const std::wstring target = folder.File(exeName);
    if (!::CopyFileW(source.c_str(), target.c_str(), FALSE))
    {
        m_startError = L"cannot copy the program to " + target + L": error " +
                       std::to_wstring(::GetLastError());
        return;
    }
    const ScopedEnvironment localAppData(L"LOCALAPPDATA", folder.Path());
    Start(target);
}

App::App(const std::wstring& exePath, const std::wstring& currentFolder)
{
    Start(exePath, currentFolder);
}

void App::Start(const std::wstring& exePath, const std::wstring& currentFolder)
{
    const std::wstring folder =
        !currentFolder.empty() ? currentFolder : exePath.substr(0, exePath.find_last_of(L"\\/"));
    std::wstring commandLine = L"\"" + exePath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &m_process))
    {
        m_startError = L"cannot start " + exePath + L": error " + std::to_wstring(::GetLastError());
        m_process = {};
    }
}

App::~App()
{
    Kill();
    if (m_process.hThread)
    {
        ::CloseHandle(m_process.hThread);
    }
    if (m_process.hProcess)
    {
        ::CloseHandle(m_process.hProcess);
    }
}

void App::Kill()
{
    if (!IsRunning())
    {
        return;
    }
    // By id, as a test that failed half way may have lost track of anything else.
    if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessId()))
    {
        ::TerminateProcess(process, 99);
        ::WaitForSingleObject(process, 5000);
        ::CloseHandle(process);
    }
}

bool App::IsRunning() const
{
    return m_process.hProcess && ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

bool App::WaitForExit(std::chrono::milliseconds timeout) const
{
    if (!m_process.hProcess)
    {
        return true;
    }
    return WaitUntil([this] { return !IsRunning(); }, timeout);
}

DWORD App::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_process.hProcess)
    {
        ::GetExitCodeProcess(m_process.hProcess, &code);
    }
    return code;
}

HWND App::FindWindowOf(const std::wstring& className, const std::wstring& caption) const
{
    return FirstWhere(TopLevelWindowsOf(ProcessId()),
                      [&](HWND window)
                      {
                          return (className.empty() || ClassName(window) == className) &&
                                 (caption.empty() || WindowText(window) == caption);
                      });
}

HWND App::MainWindow(std::chrono::milliseconds timeout) const
{
    HWND window = nullptr;
    WaitUntil(
        [&]
        {
            window = FindWindowOf(mirufon::win32::kMainWindowClass, L"");
            return window && ::IsWindowVisible(window);
        },
        timeout);
    return window;
}

bool App::Close(std::chrono::milliseconds timeout)
{
    HWND window = FindWindowOf(mirufon::win32::kMainWindowClass, L"");
    if (!window)
    {
        return false;
    }
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitForExit(timeout);
}

std::wstring WindowText(HWND window)
{
    // WM_GETTEXT is marshalled between processes, so this reads another program's controls.
    const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

HWND Control(HWND parent, int id)
{
    return ::GetDlgItem(parent, id);
}

HWND FirstWhere(const std::vector<HWND>& windows, const std::function<bool(HWND)>& matches)
{
    for (HWND window : windows)
    {
        if (matches(window))
        {
            return window;
        }
    }
    return nullptr;
}

} // namespace e2e
