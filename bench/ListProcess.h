#pragma once

// A list view of 10,000 rows by 5 columns in another process, for the benchmarks that read one:
// a benchmark starts itself again with --list and hands that run to ServeList, which fills the
// list and tells the benchmark, on its standard output, the list's handle and where one cell is
// on screen. Also the bare reading of every cell, the floor that the
// program's harvest is set against.

#include "BenchStats.h"
#include "support/ChildProcess.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace mirufon::bench
{

constexpr int kListRows = 10'000;
constexpr int kListColumns = 5;
// The cell whose centre the list's process tells: a cell of the fourth column in a row near
// the top, always in view.
constexpr int kPointedRow = 1;
constexpr int kPointedColumn = 3;

inline std::wstring ListCellText(int row, int column)
{
    return L"行 " + std::to_wstring(row) + L" 列 " + std::to_wstring(column);
}

inline std::wstring ListHeading(int column)
{
    return L"列 " + std::to_wstring(column);
}

inline LRESULT CALLBACK ListFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
    {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// The list's process: fills the list view, prints "handle x y" (x and y the screen centre of
// the pointed cell) and serves the list until its window is closed.
inline int ServeList()
{
    INITCOMMONCONTROLSEX common{sizeof common, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&common);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ListFrameProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MirufonListBench";
    ::RegisterClassExW(&windowClass);
    HWND frame = ::CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"list bench",
                                   WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 20, 20, 800, 600,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
    HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10,
                                  760, 540, frame, nullptr, windowClass.hInstance, nullptr);
    for (int column = 0; column < kListColumns; ++column)
    {
        std::wstring heading = ListHeading(column);
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.cx = 140;
        info.pszText = heading.data();
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                       reinterpret_cast<LPARAM>(&info));
    }
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < kListRows; ++row)
    {
        for (int column = 0; column < kListColumns; ++column)
        {
            std::wstring text = ListCellText(row, column);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = text.data();
            ::SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW,
                           static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        }
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RECT cell{LVIR_BOUNDS, kPointedColumn, 0, 0};
    ::SendMessageW(list, LVM_GETSUBITEMRECT, kPointedRow, reinterpret_cast<LPARAM>(&cell));
    POINT centre{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ::ClientToScreen(list, &centre);
    std::printf("%llu %ld %ld\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(list)),
                centre.x, centre.y);
    std::fflush(stdout);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        ::DispatchMessageW(&message);
    }
    return 0;
}

// The list's process, started from this program with --list, and what it told.
class ListProcess
{
  public:
    ListProcess()
    {
        const std::string line = m_child.ReadLine();
        unsigned long long list = 0;
        if (std::sscanf(line.c_str(), "%llu %ld %ld", &list, &m_pointedCell.x, &m_pointedCell.y) ==
            3)
        {
            m_list = reinterpret_cast<HWND>(static_cast<UINT_PTR>(list));
        }
    }
    ListProcess(const ListProcess&) = delete;
    ListProcess& operator=(const ListProcess&) = delete;
    ~ListProcess()
    {
        if (m_list)
        {
            ::PostMessageW(::GetAncestor(m_list, GA_ROOT), WM_CLOSE, 0, 0);
        }
        if (m_child.Started())
        {
            ::WaitForSingleObject(m_child.Process(), 10000);
        }
    }

    // Empty when the process did not start or did not tell.
    HWND List() const { return m_list; }
    // The screen centre of the cell in row kPointedRow, column kPointedColumn.
    POINT PointedCell() const { return m_pointedCell; }

  private:
    testsupport::ChildProcess m_child{L"--list"};
    HWND m_list = nullptr;
    POINT m_pointedCell{};
};

// Every cell read with a bare LVM_GETITEMTEXTW through one block of the list's memory: the
// item structure written, the message sent, the text read back. Milliseconds; the characters
// read in chars.
inline double BareListReads(HWND list, std::size_t& chars)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(list, &processId);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    constexpr int kTextChars = 260;
    void* block = ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t),
                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(block) + sizeof(LVITEMW));
    wchar_t text[kTextChars];
    chars = 0;
    const auto start = BenchClock::now();
    const auto rows = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows; ++row)
    {
        for (int column = 0; column < kListColumns; ++column)
        {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = remoteText;
            item.cchTextMax = kTextChars;
            ::WriteProcessMemory(process, block, &item, sizeof item, nullptr);
            const auto length = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                               reinterpret_cast<LPARAM>(block));
            ::ReadProcessMemory(process, remoteText, text, (length + 1) * sizeof(wchar_t), nullptr);
            chars += static_cast<std::size_t>(length);
        }
    }
    const double ms = MicrosecondsSince(start) / 1000.0;
    ::VirtualFreeEx(process, block, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return ms;
}

} // namespace mirufon::bench
