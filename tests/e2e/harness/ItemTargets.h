#pragma once

// A window of the driver's own whose controls hold items that the program reads across
// processes: a list box, a list view in report view, a tree view, a group box laid over a
// page with a check box and a button, and a password edit. Like TargetWindow it lives on the
// driver's thread, which must keep pumping (WaitUntil, PumpMessages) while the program reads.

#include "e2e/harness/Harness.h"

#include <commctrl.h>

#include <array>
#include <string>

namespace e2e
{

class ItemTargets
{
  public:
    // Clear of the program's main window (centred on a 1280x800 screen at 96 DPI; on other
    // screens as OnThisScreen moves it).
    static constexpr POINT kDefaultPosition{870, 30};
    static constexpr SIZE kDefaultSize{400, 380};

    static constexpr std::array<const wchar_t*, 3> kListItems{L"林檎 apple", L"banana",
                                                              L"桜桃 cherry Ω€"};
    static constexpr std::array<const wchar_t*, 2> kColumns{L"名前", L"値"};
    // Rows of the list view: item, then sub-item.
    static constexpr std::array<std::array<const wchar_t*, 2>, 2> kRows{
        {{L"行一 row one", L"値一 value 1"}, {L"row two", L"値二 value 2"}}};
    // The root first, then its children, shown expanded.
    static constexpr std::array<const wchar_t*, 3> kTreeItems{L"根 root", L"枝一 branch one",
                                                              L"branch two"};
    static constexpr const wchar_t* kGroupCaption = L"設定 page";
    static constexpr const wchar_t* kCheckBoxCaption = L"確認 check";
    static constexpr const wchar_t* kButtonCaption = L"実行 Run";
    static constexpr const wchar_t* kPassword = L"秘密 secret 123";
    static constexpr const wchar_t* kCaption = L"ミルフォン E2E items";

    explicit ItemTargets(POINT position = OnThisScreen(kDefaultPosition), SIZE size = kDefaultSize);
    ItemTargets(const ItemTargets&) = delete;
    ItemTargets& operator=(const ItemTargets&) = delete;
    ~ItemTargets();

    HWND Handle() const { return m_window; }
    HWND ListBox() const { return m_listBox; }
    HWND ListView() const { return m_listView; }
    HWND TreeView() const { return m_treeView; }
    HWND GroupBox() const { return m_groupBox; }
    HWND CheckBox() const { return m_checkBox; }
    HWND Button() const { return m_button; }
    HWND Password() const { return m_password; }

    // Screen centres, read from where the items are now.
    POINT ListItemCentre(int index) const;
    POINT ListViewCellCentre(int row, int column) const;
    POINT TreeItemCentre(int index) const;
    static POINT ControlCentre(HWND control);
    // A point inside the group box that none of the page's controls covers.
    POINT GroupBlankPoint() const;

    // Foreground and above every other window, topmost ones included.
    void BringToFront();

  private:
    void CreateControls();

    HWND m_window = nullptr;
    HWND m_listBox = nullptr;
    HWND m_listView = nullptr;
    HWND m_treeView = nullptr;
    HWND m_groupBox = nullptr;
    HWND m_checkBox = nullptr;
    HWND m_button = nullptr;
    HWND m_password = nullptr;
    std::array<HTREEITEM, 3> m_treeItems{}; // in the order of kTreeItems
};

} // namespace e2e
