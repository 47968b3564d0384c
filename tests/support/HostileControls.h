#pragma once

// Controls that answer the way a careless or hostile program's may, on a thread of their own,
// with what a capture or harvest over each must give: a list whose items hold a NUL or lie
// about their length, a virtual list of a million blank rows beside a button and a password
// box of another toolkit, a tree whose next item leads back, a status bar part of 70,000
// characters, tabs and rows that go away while they are read, accessible children with empty
// entries and an empty batch, a list view whose accessible object answers by row as Windows'
// does, a list view that answers every cell late, and a browser's window that builds its
// accessibility tree only when first asked.

#include "support/AccessibleServer.h"
#include "support/WindowThread.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport
{

class HostileControls
{
  public:
    // The controls are made on the fixture's own thread before the constructor returns.
    // Outer frames: the controls 430 x 440, the blank rows' window 380 x 220, the password's
    // 380 x 100 pixels, below the blank rows'.
    explicit HostileControls(POINT controlsAt = POINT{5, 5}, POINT blankRowsAt = POINT{880, 10});
    HostileControls(const HostileControls&) = delete;
    HostileControls& operator=(const HostileControls&) = delete;
    ~HostileControls();

    // Its second item holds a NUL; its third says it is longer than it is.
    HWND lyingList = nullptr;
    static constexpr const wchar_t* kLyingListText = L"一番目 first item\r\n前\r\nab";
    static constexpr const wchar_t* kItemWithNul = L"前";

    // A button above a virtual list view of a million blank rows.
    HWND blankRowsButton = nullptr;
    HWND blankRows = nullptr;
    static constexpr const wchar_t* kBlankRowsTitle = L"空行 blank rows";
    static constexpr const wchar_t* kButtonCaption = L"ボタン";
    static constexpr int kBlankRowCount = 1'000'000;

    // A label beside a password box of another toolkit, in a window of their own.
    HWND passwordLabel = nullptr;
    HWND foreignPassword = nullptr;
    static constexpr const wchar_t* kPassword = L"秘密 hostile";
    static constexpr const wchar_t* kPasswordWindowText = L"ログイン login\r\nパスワード:";

    HWND loopingTree = nullptr;
    static constexpr const wchar_t* kLoopingTreeText = L"甲\r\n乙\r\n丙";

    HWND longStatus = nullptr;
    static std::wstring LongPart() { return std::wstring(70'000, L'長'); }
    static std::wstring LongStatusText() { return L"短い\t" + LongPart(); }

    HWND vanishingTabs = nullptr;
    static constexpr const wchar_t* kVanishingTabsText = L"一\r\n三";

    // Goes away while its second row is read.
    HWND vanishingList = nullptr;
    static constexpr const wchar_t* kVanishingListText = L"残る\r\n消える";

    HWND gappedList = nullptr;
    static constexpr const wchar_t* kGappedListText = L"最初\r\nx\r\ny";

    // Report view, four columns; its accessible object names a row by its first column and
    // tells the others in the row's description ("heading: text, ..."), and its header's
    // object names the headings.
    HWND rowAnsweringList = nullptr;
    static constexpr const wchar_t* kRows[2][4] = {
        {L"a.txt", L"1 KB", L"文書", L"2026/12/01"},
        {L"b.txt", L"2 KB", L"画像", L"2026/12/08"},
    };
    static constexpr const wchar_t* kRowAnsweringText =
        L"名前\tサイズ\t種類\t更新日\r\na.txt\t1 KB\t文書\t2026/12/01\r\n"
        L"b.txt\t2 KB\t画像\t2026/12/08";

    // Report view, 70 rows by 4 columns, each cell's text given 8 ms late: the rows a harvest
    // reads at once take longer than a read's deadline, while the list answers all along.
    HWND slowList = nullptr;
    static std::wstring SlowListText();

    // Class Chrome_RenderWidgetHostHWND: its first hit test gives its document only.
    HWND browser = nullptr;
    static constexpr const wchar_t* kBrowserButton = L"送信 send";

    // What a hostile control answers in place of its own procedure; nothing to let it answer.
    using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

  private:
    void Subclass(HWND window, Handler handler);
    HWND BuildControls(POINT at);
    HWND BuildBlankRows(POINT at);
    HWND BuildPassword(POINT at);
    HWND AddLyingList(HWND frame);
    HWND AddLoopingTree(HWND frame);
    HWND AddRowAnsweringList(HWND frame);
    HWND AddBrowser(HWND frame);
    HWND AddSlowList(HWND frame);

    std::vector<std::unique_ptr<AccessibleTree>> m_trees; // made and used on the thread
    std::vector<std::unique_ptr<Handler>> m_handlers;
    std::unique_ptr<WindowThread> m_thread; // last: it ends first
};

} // namespace testsupport
