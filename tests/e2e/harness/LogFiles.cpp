#include "e2e/harness/LogFiles.h"

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Input.h"
#include "platform/win32/mainwindow/ControlIds.h"

#include <algorithm>

namespace e2e
{
namespace
{

struct DialogSearch
{
    DWORD process;
    std::function<bool(HWND)> matches;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || ClassName(window) != L"#32770" || !::IsWindowVisible(window) ||
        !search->matches(window))
    {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND WaitForDialog(const App& app, const std::function<bool(HWND)>& matches,
                   std::chrono::milliseconds timeout)
{
    DialogSearch search{app.ProcessId(), matches};
    WaitUntil(
        [&]
        {
            ::EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout);
    return search.found;
}

bool HasVisible(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    return control && ::IsWindowVisible(control);
}

BOOL CALLBACK FindFileNameEdit(HWND window, LPARAM found)
{
    const int parentId = ::GetDlgCtrlID(::GetParent(window));
    if (ClassName(window) == L"Edit" && ::IsWindowVisible(window) &&
        ClassName(::GetParent(window)) == L"ComboBox" && (parentId == 1148 || parentId == 1001))
    {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

POINT CentreOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool ToFront(HWND window)
{
    ::SetForegroundWindow(window);
    return WaitUntil([&] { return ::GetForegroundWindow() == window; }, 3s);
}

} // namespace

HWND FileNameBox(HWND dialog)
{
    constexpr int kOldStyleFileNameId = 1152; // edt1
    if (const HWND box = ::GetDlgItem(dialog, kOldStyleFileNameId))
    {
        return box;
    }
    HWND found = nullptr;
    ::EnumChildWindows(dialog, &FindFileNameEdit, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND WaitForSaveDialog(const App& app, std::chrono::milliseconds timeout)
{
    return WaitForDialog(
        app,
        [](HWND dialog)
        {
            const HWND box = FileNameBox(dialog);
            return box && ::IsWindowVisible(box) && HasVisible(dialog, IDOK);
        },
        timeout);
}

::testing::AssertionResult NoSaveDialogFor(const App& app, std::chrono::milliseconds period)
{
    if (const HWND dialog = WaitForSaveDialog(app, period))
    {
        return ::testing::AssertionFailure()
               << "a Save dialog \"" << Utf8(WindowText(dialog)) << "\" opened";
    }
    return ::testing::AssertionSuccess();
}

bool SaveAs(HWND dialog, const std::wstring& name)
{
    const HWND box = FileNameBox(dialog);
    if (!ToFront(dialog) || !ClickAt(CentreOf(box)))
    {
        return false;
    }
    // Home, then Shift+End: the whole name is selected and typing replaces it.
    PressChord({}, VK_HOME);
    PressChord({VK_SHIFT}, VK_END);
    TypeText(name);
    if (!WaitUntil([&] { return WindowText(box) == name; }, 3s))
    {
        ADD_FAILURE() << "the file name box shows \"" << Utf8(WindowText(box)) << "\"";
        return false;
    }
    return PressChord({}, VK_RETURN);
}

HWND WaitForBox(const App& app, const std::wstring& title, int button,
                std::chrono::milliseconds timeout)
{
    return WaitForDialog(
        app, [&](HWND box) { return WindowText(box) == title && HasVisible(box, button); },
        timeout);
}

HWND WaitForAnyBox(const App& app, int button, std::chrono::milliseconds timeout)
{
    return WaitForDialog(
        app, [&](HWND box) { return HasVisible(box, button) && HasVisible(box, 0xFFFF); }, timeout);
}

bool Answer(HWND box, int button)
{
    if (!ToFront(box) || !ClickAt(CentreOf(::GetDlgItem(box, button))))
    {
        return false;
    }
    return WaitUntil([&] { return !::IsWindow(box); }, 5s);
}

bool OpenLogMenu(HWND mainWindow)
{
    const HWND log = Control(mainWindow, mirufon::win32::kIdLog);
    if (!Activate(mainWindow) || !ClickAt(CentreOf(log), true))
    {
        return false;
    }
    return WaitUntil([&] { return PopupMenuShown(mainWindow); }, 3s);
}

std::string Utf8File(const std::wstring& text)
{
    return "\xEF\xBB\xBF" + Utf8(text);
}

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
    {
        return names;
    }
    do
    {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        {
            names.emplace_back(found.cFileName);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

ScopedEnvironment::ScopedEnvironment(const std::wstring& name, const std::wstring& value)
    : m_name(name)
{
    std::wstring previous(32767, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name.c_str(), previous.data(),
                                                   static_cast<DWORD>(previous.size()));
    if (length > 0 && length < previous.size())
    {
        previous.resize(length);
        m_previous = previous;
    }
    ::SetEnvironmentVariableW(name.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment()
{
    ::SetEnvironmentVariableW(m_name.c_str(), m_previous ? m_previous->c_str() : nullptr);
}

} // namespace e2e
