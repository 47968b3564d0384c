#pragma once

// Windows whose lists, tables, trees and texts a harvest takes whole, on a thread of their
// own, with the text each harvest gives: a window of standard controls holding items, a
// dialog-like window for the walk through a window's texts, and a window of lists that serve
// their own accessible objects.

#include "support/AccessibleServer.h"
#include "support/WindowThread.h"

#include <memory>
#include <string>

namespace testsupport
{

class HarvestTargets
{
  public:
    // Outer frames: the lists window 440 x 440, the dialog 340 x 260, the accessible lists
    // 440 x 170 pixels.
    explicit HarvestTargets(POINT listsAt = POINT{10, 10}, POINT dialogAt = POINT{460, 10},
                            POINT accessibleAt = POINT{10, 460});
    HarvestTargets(const HarvestTargets&) = delete;
    HarvestTargets& operator=(const HarvestTargets&) = delete;

    HWND ListBox() const { return m_listBox; }
    HWND OwnerDrawnList() const { return m_ownerDrawn; }
    HWND ComboBox() const { return m_comboBox; }
    HWND EditableCombo() const { return m_editableCombo; }
    HWND ListView() const { return m_listView; }
    HWND ListViewWithoutHeadings() const { return m_plainListView; }
    HWND TreeView() const { return m_treeView; }
    HWND TabControl() const { return m_tabControl; }
    HWND StatusBar() const { return m_statusBar; }
    HWND Dialog() const { return m_dialog; }
    HWND DialogLabel() const { return m_dialogLabel; }
    HWND AccessibleList() const { return m_accessibleList; }
    HWND AccessibleTable() const { return m_accessibleTable; }
    HWND AccessibleOutline() const { return m_accessibleOutline; }

    WindowThread& Thread() { return *m_thread; }

    // What a harvest over each gives. Items with a tab or a line break inside show them as
    // spaces; empty items and cells are kept.
    static constexpr const wchar_t* kListBoxText = L"林檎 apple\r\n\r\ntab here\r\n桜桃 cherry Ω€";
    static constexpr const wchar_t* kComboBoxText = L"一 one\r\n二 two\r\n三 three";
    static constexpr const wchar_t* kEditableComboText = L"甲 first\r\n乙 second";
    // Columns shown in the order サイズ, 名前, (a column of no width), 種類.
    static constexpr const wchar_t* kListViewText =
        L"サイズ\t名前\t種類\r\n1 KB\ta.txt\t文書\r\n2 KB\tb.png\t\r\n\tc\ttwo lines";
    static constexpr const wchar_t* kHeaderText = L"サイズ\t名前\t種類";
    // Its first row's second cell is longer than a row's read takes at once.
    static std::wstring LongCell() { return std::wstring(300, L'長'); }
    static std::wstring ListViewWithoutHeadingsText() { return L"p\t" + LongCell() + L"\r\nr\t"; }
    // 枝 A2 is collapsed; the tree is scrolled down, its first items out of view.
    static constexpr const wchar_t* kTreeViewText =
        L"根 A\r\n\t枝 A1\r\n\t\t葉 A1a\r\n\t枝 A2\r\n根 B";
    static constexpr const wchar_t* kTabControlText = L"一般 general\r\n詳細\r\n表示 view";
    static constexpr const wchar_t* kStatusBarText = L"準備完了 ready\t\t行 1";
    // The title, then the controls row by row: no password, no hidden or clipped control, no
    // empty label, no icon's resource name; the combo box's current text and the list box's
    // items.
    static constexpr const wchar_t* kDialogText =
        L"設定 dialog\r\n名前(N):\r\n山田 太郎\r\nPassword:\r\nオプション\r\nBold\r\n"
        L"Save & exit\r\n中\r\n項目 1\r\n項目 2\r\nOK\r\nキャンセル(C)";
    static constexpr const wchar_t* kDialogPassword = L"秘密 secret";
    static constexpr const wchar_t* kAccessibleListText = L"一つ目 first\r\ntwo parts\r\n三つ目";
    static constexpr const wchar_t* kAccessibleTableText = L"名前\t値\r\na\t1\r\nb\t";
    static constexpr const wchar_t* kAccessibleOutlineText =
        L"根 root\r\n\t子 child\r\n\t\t孫 grandchild\r\n閉 closed\r\n次 next";

  private:
    HWND BuildLists(POINT at);
    HWND BuildDialog(POINT at);
    HWND BuildAccessible(POINT at);

    HWND m_listBox = nullptr;
    HWND m_ownerDrawn = nullptr;
    HWND m_comboBox = nullptr;
    HWND m_editableCombo = nullptr;
    HWND m_listView = nullptr;
    HWND m_plainListView = nullptr;
    HWND m_treeView = nullptr;
    HWND m_tabControl = nullptr;
    HWND m_statusBar = nullptr;
    HWND m_dialog = nullptr;
    HWND m_dialogLabel = nullptr;
    HWND m_accessibleList = nullptr;
    HWND m_accessibleTable = nullptr;
    HWND m_accessibleOutline = nullptr;
    std::vector<std::unique_ptr<AccessibleTree>> m_trees; // made and used on the thread
    std::unique_ptr<WindowThread> m_thread;               // last: it ends first
};

} // namespace testsupport
