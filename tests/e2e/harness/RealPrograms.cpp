#include "e2e/harness/RealPrograms.h"

#include <functional>
#include <vector>

namespace e2e
{
namespace
{

bool SameText(const std::wstring& left, const std::wstring& right)
{
    return ::CompareStringOrdinal(left.c_str(), -1, right.c_str(), -1, TRUE) == CSTR_EQUAL;
}

HWND FirstDescendant(HWND parent, const std::wstring& className)
{
    return FirstWhere(DescendantsOf(parent),
                      [&](HWND window) { return SameText(ClassName(window), className); });
}

} // namespace

StartedProgram::StartedProgram(const std::wstring& commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = commandLine;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &m_process))
    {
        m_process = {};
    }
}

StartedProgram::~StartedProgram()
{
    if (m_process.hProcess)
    {
        ::TerminateProcess(m_process.hProcess, 0);
        ::WaitForSingleObject(m_process.hProcess, 5000);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
}

HWND StartedProgram::WaitForWindow(const std::wstring& className,
                                   std::chrono::milliseconds timeout) const
{
    if (!m_process.hProcess)
    {
        return nullptr;
    }
    // A visible window with a title bar: the program's main window, not a helper of its own.
    const auto isMain = [&](HWND window)
    {
        const auto style = ::GetWindowLongW(window, GWL_STYLE);
        return ::IsWindowVisible(window) && (style & WS_CAPTION) == WS_CAPTION &&
               (className.empty() || SameText(ClassName(window), className));
    };
    HWND found = nullptr;
    WaitUntil(
        [&] {
            return (found = FirstWhere(TopLevelWindowsOf(m_process.dwProcessId), isMain)) !=
                   nullptr;
        },
        timeout);
    return found;
}

void PlaceInFront(HWND window, POINT position, SIZE size)
{
    ::ShowWindow(window, SW_RESTORE);
    ::SetWindowPos(window, HWND_TOPMOST, position.x, position.y, size.cx, size.cy, SWP_SHOWWINDOW);
    ::SetForegroundWindow(window);
    WaitUntil([window] { return ::GetForegroundWindow() == window; }, 2s);
}

Regedit::Regedit(POINT position, SIZE size)
{
    m_window = m_program.WaitForWindow(L"RegEdit_RegEdit", 15s);
    if (!m_window)
    {
        return;
    }
    PlaceInFront(m_window, position, size);
    m_remote = RemoteControls(m_window);
    m_treeView = FirstDescendant(m_window, L"SysTreeView32");
    HWND listView = FirstDescendant(m_window, L"SysListView32");
    // The tree is filled once the window is up: the program is ready when it has a root.
    if (m_treeView && WaitUntil([this] { return m_remote.TreeChild(m_treeView, nullptr); }, 10s))
    {
        m_listView = listView;
    }
}

HTREEITEM Regedit::FindChild(HTREEITEM parent, const std::wstring& name) const
{
    if (parent)
    {
        // Expanding fills in the children of a key that has not been opened yet.
        m_remote.Send(m_treeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    }
    for (HTREEITEM item = m_remote.TreeChild(m_treeView, parent); item;
         item = m_remote.TreeNext(m_treeView, item))
    {
        if (SameText(m_remote.TreeItemText(m_treeView, item), name))
        {
            return item;
        }
    }
    return nullptr;
}

HTREEITEM Regedit::FindKey(const std::wstring& path) const
{
    HTREEITEM key = nullptr;
    std::size_t start = 0;
    while (start <= path.size())
    {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring name = path.substr(start, end - start);
        HTREEITEM found = FindChild(key, name);
        if (!found && !key)
        {
            // The hives hang under the tree's one root (the computer).
            HTREEITEM root = m_remote.TreeChild(m_treeView, nullptr);
            found = root ? FindChild(root, name) : nullptr;
        }
        if (!found)
        {
            return nullptr;
        }
        key = found;
        start = end + 1;
    }
    return key;
}

bool Regedit::OpenKey(const std::wstring& path)
{
    HTREEITEM key = FindKey(path);
    if (!key)
    {
        return false;
    }
    m_remote.Send(m_treeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(key));
    m_remote.Send(m_treeView, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(key));
    return WaitUntil(
        [&]
        {
            const auto selected = m_remote.Send(m_treeView, TVM_GETNEXTITEM, TVGN_CARET, 0);
            return selected && reinterpret_cast<HTREEITEM>(*selected) == key &&
                   m_remote.ListViewCount(m_listView) > 0;
        },
        5s);
}

std::optional<POINT> Regedit::KeyPoint(const std::wstring& path)
{
    HTREEITEM key = FindKey(path);
    if (!key)
    {
        return std::nullopt;
    }
    m_remote.Send(m_treeView, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(key));
    const std::optional<RECT> label = m_remote.TreeItemRect(m_treeView, key);
    if (!label)
    {
        return std::nullopt;
    }
    return VisibleCentreOf(m_treeView, *label);
}

std::optional<POINT> Regedit::ValuePoint(const std::wstring& name, int column)
{
    const int item = m_remote.FindListViewItem(m_listView, name);
    if (item < 0)
    {
        return std::nullopt;
    }
    m_remote.Send(m_listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
    const std::optional<RECT> cell = m_remote.ListViewCellRect(m_listView, item, column);
    if (!cell)
    {
        return std::nullopt;
    }
    return VisibleCentreOf(m_listView, *cell);
}

std::wstring Regedit::ValueText(const std::wstring& name, int column) const
{
    const int item = m_remote.FindListViewItem(m_listView, name);
    return item < 0 ? std::wstring() : m_remote.ListViewText(m_listView, item, column);
}

TaskManager::TaskManager(POINT position, SIZE size)
{
    m_window = m_program.WaitForWindow(L"", 15s);
    if (!m_window)
    {
        return;
    }
    PlaceInFront(m_window, position, size);
    m_remote = RemoteControls(m_window);
}

HWND TaskManager::VisibleListWith(const std::wstring& imageName) const
{
    for (HWND window : DescendantsOf(m_window))
    {
        if (::IsWindowVisible(window) && SameText(ClassName(window), L"SysListView32") &&
            m_remote.FindListViewItem(window, imageName) >= 0)
        {
            return window;
        }
    }
    return nullptr;
}

HWND TaskManager::ShowPageWith(const std::function<HWND()>& find)
{
    if (HWND found = find())
    {
        return found;
    }
    HWND tabs = FirstDescendant(m_window, L"SysTabControl32");
    const int tabCount =
        tabs ? static_cast<int>(m_remote.Send(tabs, TCM_GETITEMCOUNT).value_or(0)) : 0;
    HWND found = nullptr;
    for (int tab = 0; !found && tab < tabCount; ++tab)
    {
        // Unlike TCM_SETCURSEL this tells the program, which then shows that tab's page.
        m_remote.Send(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tab));
        WaitUntil([&] { return (found = find()) != nullptr; }, 3s);
    }
    return found;
}

std::optional<POINT> TaskManager::ProcessPoint(const std::wstring& imageName)
{
    m_processList = ShowPageWith([&] { return VisibleListWith(imageName); });
    if (!m_processList)
    {
        return std::nullopt;
    }
    const int item = m_remote.FindListViewItem(m_processList, imageName);
    if (item < 0)
    {
        return std::nullopt;
    }
    m_remote.Send(m_processList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
    const std::optional<RECT> cell = m_remote.ListViewCellRect(m_processList, item, 0);
    return cell ? VisibleCentreOf(m_processList, *cell) : std::nullopt;
}

HWND TaskManager::ShowDisabledButton()
{
    return ShowPageWith(
        [this]() -> HWND
        {
            for (HWND window : DescendantsOf(m_window))
            {
                const auto style = ::GetWindowLongW(window, GWL_STYLE);
                if (SameText(ClassName(window), L"Button") && ::IsWindowVisible(window) &&
                    !::IsWindowEnabled(window) && (style & BS_TYPEMASK) != BS_GROUPBOX)
                {
                    return window;
                }
            }
            return nullptr;
        });
}

} // namespace e2e
