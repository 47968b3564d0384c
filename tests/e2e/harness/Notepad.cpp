#include "e2e/harness/Notepad.h"

#include "e2e/harness/SystemChecks.h"

namespace e2e
{

Notepad::Notepad(POINT position)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    wchar_t commandLine[] = L"notepad.exe";
    if (!::CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &m_process))
    {
        m_process = {};
        return;
    }
    const bool shown = WaitUntil(
        [&]
        {
            m_window = nullptr;
            // Notepad's window of this process, not one a previous test may have left.
            while ((m_window = ::FindWindowExW(nullptr, m_window, L"Notepad", nullptr)) != nullptr)
            {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(m_window, &owner);
                if (owner == m_process.dwProcessId && ::IsWindowVisible(m_window))
                {
                    return true;
                }
            }
            return false;
        },
        15s);
    if (!shown)
    {
        return;
    }
    ::SetWindowPos(m_window, HWND_TOP, position.x, position.y, 380, 300, SWP_SHOWWINDOW);
    m_edit = ::FindWindowExW(m_window, nullptr, L"Edit", nullptr);
}

Notepad::~Notepad()
{
    if (m_process.hProcess)
    {
        ::TerminateProcess(m_process.hProcess, 0);
        ::WaitForSingleObject(m_process.hProcess, 5000);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
}

std::optional<std::string> Notepad::Unavailable() const
{
    if (Started() || UnderWine())
    {
        return std::nullopt;
    }
    return "this Windows's Notepad shows no window with an EDIT box of its own (Windows 11's "
           "Notepad is a packaged app)";
}

POINT Notepad::EditCentre() const
{
    RECT area{};
    ::GetWindowRect(m_edit, &area);
    return POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

} // namespace e2e
