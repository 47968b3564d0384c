#include "e2e/harness/LogFiles.h"

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Input.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "support/ControlItems.h"

#include <algorithm>

namespace e2e
{
namespace
{

HWND WaitForDialog(const App& app, const std::function<bool(HWND)>& matches,
                   std::chrono::milliseconds timeout)
{
    const auto isDialog = [&](HWND window)
    { return ClassName(window) == L"#32770" && ::IsWindowVisible(window) && matches(window); };
    HWND found = nullptr;
    WaitUntil(
        [&]
        { return (found = FirstWhere(TopLevelWindowsOf(app.ProcessId()), isDialog)) != nullptr; },
        timeout);
    return found;
}

bool HasVisible(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    return control && ::IsWindowVisible(control);
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
    // The newer dialog's name box: the edit of a combo box with one of two ids.
    return FirstWhere(DescendantsOf(dialog),
                      [](HWND window)
                      {
                          const HWND parent = ::GetParent(window);
                          const int parentId = ::GetDlgCtrlID(parent);
                          return ClassName(window) == L"Edit" && ::IsWindowVisible(window) &&
                                 ClassName(parent) == L"ComboBox" &&
                                 (parentId == 1148 || parentId == 1001);
                      });
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
    if (!ToFront(dialog) || !ClickAt(testsupport::CentreOf(box)))
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
    if (!ToFront(box) || !ClickAt(testsupport::CentreOf(::GetDlgItem(box, button))))
    {
        return false;
    }
    return WaitUntil([&] { return !::IsWindow(box); }, 5s);
}

bool OpenLogMenu(HWND mainWindow)
{
    const HWND log = Control(mainWindow, mirufon::win32::kIdLog);
    if (!Activate(mainWindow) || !ClickAt(testsupport::CentreOf(log), true))
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
