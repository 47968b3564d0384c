#include "platform/win32/SettingsDialog.h"

#include "platform/win32/Fonts.h"
#include "platform/win32/SettingsDialogIds.h"
#include "shell/AppInfo.h"
#include "shell/Layout.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace mirufon::win32
{
namespace
{

// The dialog's texts.
constexpr wchar_t kHotKeyFrameCaption[] = L"ホットキー";
constexpr wchar_t kOtherFrameCaption[] = L"その他";
constexpr wchar_t kAddCopyCaption[] = L"コピーでも取得";
constexpr wchar_t kTabCaption[] = L"タブ区切り";
constexpr wchar_t kOkCaption[] = L"OK";
constexpr wchar_t kCancelCaption[] = L"Cancel";
constexpr wchar_t kModifierTip[] = L"装飾キー";
constexpr wchar_t kAddCopyTip[] = L"コピーした文字列も取得する";
constexpr wchar_t kTabTip[] = L"項目区切りをタブ(x09)コード挿入";
constexpr wchar_t kDuplicateText[] = L"キーが重複しています！";
constexpr wchar_t kDuplicateTitle[] = L"重複";
// lblHotKey(0) to (6).
constexpr const wchar_t* kHeadingCaptions[7] = {L"取得",    L"改行",     L"取消",    L"停止/再開",
                                                L"accName", L"accValue", L"修飾キー"};

constexpr wchar_t kLabelFace[] = L"ＭＳ Ｐゴシック";
constexpr wchar_t kListFace[] = L"ＭＳ ゴシック";
constexpr int kFontSize = 975; // 9.75 pt
constexpr COLORREF kBlue = RGB(0, 0, 255);

constexpr DWORD kDialogStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kDialogExStyle = WS_EX_CONTROLPARENT;

// The dialog's size in twips: the client area, and the outer width that is held whatever
// resizing is attempted.
constexpr std::int32_t kClientWidth = 3660;
constexpr std::int32_t kClientHeight = 4785;
constexpr std::int32_t kOuterWidth = 3750;
// Entries a key list shows at once when it drops down.
constexpr int kVisibleEntries = 8;

// Subclass ids: the key lists use their list index.
constexpr UINT_PTR kFocusGateSubclass = 100;

enum class Container
{
    Form,
    HotKeyFrame,
    OtherFrame,
    ButtonFrame, // the borderless frame round "OK" and "Cancel": only an offset, no window
};

enum class Font
{
    Label,
    List,
};

// One control of the dialog: its place in twips relative to its container.
struct ControlPlacement
{
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    Container container;
    ControlRect rect;
    Font font;
};

constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kPrefixStyle = SS_RIGHT | SS_NOPREFIX;
constexpr DWORD kListStyle = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP;
constexpr DWORD kCheckStyle = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;

// The controls in creation order, which is the z-order (first on top) and the tab order. Where
// labels overlap, the one whose text reaches into the overlap comes first: the prefix labels
// before the row names, "accName" before "取得". The frames come last and go to the bottom of
// the z-order, so the controls inside them paint over them.
constexpr ControlPlacement kControls[] = {
    // Row 1: get name.
    {SettingsPrefixId(0),
     L"STATIC",
     L"",
     kPrefixStyle,
     Container::HotKeyFrame,
     {1500, 330, 1000, 225},
     Font::Label},
    {SettingsHeadingId(4),
     L"STATIC",
     kHeadingCaptions[4],
     kLabelStyle,
     Container::HotKeyFrame,
     {750, 330, 795, 285},
     Font::Label},
    {SettingsKeyListId(0),
     WC_COMBOBOXW,
     L"",
     kListStyle,
     Container::HotKeyFrame,
     {2550, 300, 615, 315},
     Font::List},
    // Row 2: get value.
    {SettingsPrefixId(4),
     L"STATIC",
     L"",
     kPrefixStyle,
     Container::HotKeyFrame,
     {1500, 690, 1000, 225},
     Font::Label},
    {SettingsHeadingId(5),
     L"STATIC",
     kHeadingCaptions[5],
     kLabelStyle,
     Container::HotKeyFrame,
     {750, 660, 795, 285},
     Font::Label},
    {SettingsKeyListId(4),
     WC_COMBOBOXW,
     L"",
     kListStyle,
     Container::HotKeyFrame,
     {2550, 660, 615, 315},
     Font::List},
    {SettingsHeadingId(0),
     L"STATIC",
     kHeadingCaptions[0],
     kLabelStyle,
     Container::HotKeyFrame,
     {330, 360, 525, 285},
     Font::Label},
    // Row 3: newline.
    {SettingsPrefixId(1),
     L"STATIC",
     L"",
     kPrefixStyle,
     Container::HotKeyFrame,
     {1500, 1110, 1000, 225},
     Font::Label},
    {SettingsHeadingId(1),
     L"STATIC",
     kHeadingCaptions[1],
     kLabelStyle,
     Container::HotKeyFrame,
     {330, 1080, 1275, 285},
     Font::Label},
    {SettingsKeyListId(1),
     WC_COMBOBOXW,
     L"",
     kListStyle,
     Container::HotKeyFrame,
     {2550, 1050, 615, 315},
     Font::List},
    // Row 4: cancel the last item.
    {SettingsPrefixId(2),
     L"STATIC",
     L"",
     kPrefixStyle,
     Container::HotKeyFrame,
     {1500, 1470, 1000, 225},
     Font::Label},
    {SettingsHeadingId(2),
     L"STATIC",
     kHeadingCaptions[2],
     kLabelStyle,
     Container::HotKeyFrame,
     {330, 1470, 1275, 285},
     Font::Label},
    {SettingsKeyListId(2),
     WC_COMBOBOXW,
     L"",
     kListStyle,
     Container::HotKeyFrame,
     {2550, 1410, 615, 315},
     Font::List},
    // Row 5: stop/resume.
    {SettingsPrefixId(3),
     L"STATIC",
     L"",
     kPrefixStyle,
     Container::HotKeyFrame,
     {1500, 1860, 1000, 225},
     Font::Label},
    {SettingsHeadingId(3),
     L"STATIC",
     kHeadingCaptions[3],
     kLabelStyle,
     Container::HotKeyFrame,
     {330, 1860, 1275, 285},
     Font::Label},
    {SettingsKeyListId(3),
     WC_COMBOBOXW,
     L"",
     kListStyle,
     Container::HotKeyFrame,
     {2550, 1800, 615, 315},
     Font::List},
    // The modifier row.
    {SettingsHeadingId(6),
     L"STATIC",
     kHeadingCaptions[6],
     kLabelStyle,
     Container::HotKeyFrame,
     {840, 2340, 825, 285},
     Font::Label},
    {kIdSettingsModifier,
     WC_COMBOBOXW,
     L"",
     kListStyle,
     Container::HotKeyFrame,
     {1740, 2280, 1425, 315},
     Font::List},
    // "その他".
    {kIdSettingsAddCopy,
     L"BUTTON",
     kAddCopyCaption,
     kCheckStyle,
     Container::OtherFrame,
     {300, 300, 2565, 255},
     Font::Label},
    {kIdSettingsTab,
     L"BUTTON",
     kTabCaption,
     kCheckStyle,
     Container::OtherFrame,
     {300, 600, 2565, 255},
     Font::Label},
    // The buttons.
    {kIdSettingsOk,
     L"BUTTON",
     kOkCaption,
     kButtonStyle,
     Container::ButtonFrame,
     {330, 0, 975, 345},
     Font::Label},
    {kIdSettingsCancel,
     L"BUTTON",
     kCancelCaption,
     kButtonStyle,
     Container::ButtonFrame,
     {1320, 0, 945, 345},
     Font::Label},
    // The frames.
    {kIdSettingsHotKeyFrame,
     L"BUTTON",
     kHotKeyFrameCaption,
     BS_GROUPBOX,
     Container::Form,
     {120, 120, 3285, 2775},
     Font::Label},
    {kIdSettingsOtherFrame,
     L"BUTTON",
     kOtherFrameCaption,
     BS_GROUPBOX,
     Container::Form,
     {120, 3030, 3285, 1185},
     Font::Label},
};

ControlRect ContainerRect(Container container)
{
    switch (container)
    {
    case Container::HotKeyFrame:
        return {120, 120, 3285, 2775};
    case Container::OtherFrame:
        return {120, 3030, 3285, 1185};
    case Container::ButtonFrame:
        return {1080, 4320, 2265, 345};
    case Container::Form:
        break;
    }
    return {0, 0, kClientWidth, kClientHeight};
}

int ToPixel(std::int32_t twips, std::int32_t twipsPerPixel)
{
    return static_cast<int>(
        std::lround(static_cast<double>(twips) / static_cast<double>(twipsPerPixel)));
}

int PrimaryScreenDotsPerInch()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
    {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

// A closed drop-down list is as high as its font makes it; the place in twips gives the
// height wanted. The selection field's height is stepped until the list has that height: the
// field height that CB_GETITEMHEIGHT reports and the one CB_SETITEMHEIGHT takes need not
// differ by the same amount on every system, so each step corrects by what is still missing.
void FitSelectionField(HWND list, int wantedHeight)
{
    auto field =
        static_cast<int>(::SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int step = 0; step < 3 && field > 0; ++step)
    {
        RECT shown{};
        ::GetWindowRect(list, &shown);
        const int missing = wantedHeight - (shown.bottom - shown.top);
        if (missing == 0 || field + missing <= 0)
        {
            return;
        }
        field += missing;
        ::SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

bool IsKeyDown(int virtualKey)
{
    return ::GetKeyState(virtualKey) < 0;
}

// Clears a flag when the scope is left, however it is left.
class FlagReset
{
  public:
    explicit FlagReset(bool& flag) : m_flag(flag) { m_flag = true; }
    FlagReset(const FlagReset&) = delete;
    FlagReset& operator=(const FlagReset&) = delete;
    ~FlagReset() { m_flag = false; }

  private:
    bool& m_flag;
};

} // namespace

ControlSubclass::ControlSubclass(HWND control, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data)
    : m_control(control), m_procedure(procedure), m_id(id)
{
    if (!::SetWindowSubclass(control, procedure, id, data))
    {
        m_control = nullptr;
    }
}

ControlSubclass::ControlSubclass(ControlSubclass&& other) noexcept
    : m_control(std::exchange(other.m_control, nullptr)), m_procedure(other.m_procedure),
      m_id(other.m_id)
{
}

ControlSubclass::~ControlSubclass()
{
    if (m_control)
    {
        ::RemoveWindowSubclass(m_control, m_procedure, m_id);
    }
}

SettingsDialog::SettingsDialog(HINSTANCE instance, HWND owner, Settings& settings,
                               std::function<void(DialogClose)> onClose)
    : m_instance(instance), m_owner(owner), m_settings(settings), m_onClose(std::move(onClose))
{
}

SettingsDialog::~SettingsDialog()
{
    // The owner is going too: no store, no call back into it.
    if (m_window)
    {
        ::DestroyWindow(m_window);
    }
}

bool SettingsDialog::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (::GetClassInfoExW(instance, kSettingsDialogClass, &windowClass))
    {
        return true;
    }
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &SettingsDialog::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kSettingsDialogClass;
    windowClass.hIcon =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    windowClass.hIconSm =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    return ::RegisterClassExW(&windowClass) != 0;
}

bool SettingsDialog::Open()
{
    if (m_window)
    {
        BringToFront();
        return true;
    }
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    if (!RegisterWindowClass(m_instance))
    {
        return false;
    }

    ApplyDpi(PrimaryScreenDotsPerInch());
    const SIZE outer = OuterSize();
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
    const std::wstring caption = GetAppTitle();
    ::CreateWindowExW(kDialogExStyle, kSettingsDialogClass, caption.c_str(), kDialogStyle, left,
                      top, outer.cx, outer.cy, m_owner, nullptr, m_instance, this);
    if (!m_window)
    {
        return false;
    }
    CreateControls();
    const bool complete = std::all_of(m_keyLists.begin(), m_keyLists.end(),
                                      [](HWND list) { return list != nullptr; }) &&
                          m_modifier && m_addCopy && m_tab && m_ok && m_cancel;
    if (!complete)
    {
        ::DestroyWindow(m_window);
        return false;
    }
    PlaceControls();
    Fill();

    // Always on top before the tips exist: the window system places a window that is raised
    // right after the windows it owns, and a tip window, owned and topmost already, would then
    // take the topmost place while the dialog stays an ordinary window behind it.
    ::SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CreateToolTips();
    ::ShowWindow(m_window, SW_SHOW);
    ::UpdateWindow(m_window);
    ::SetForegroundWindow(m_window);
    m_lastFocus = m_keyLists[0];
    ::SetFocus(m_keyLists[0]);
    return true;
}

void SettingsDialog::BringToFront()
{
    if (!m_window)
    {
        return;
    }
    ::ShowWindow(m_window, SW_SHOW);
    ::SetForegroundWindow(m_window);
}

void SettingsDialog::Close()
{
    CloseWith(DialogClose::Shutdown);
}

bool SettingsDialog::TranslateDialogMessage(MSG& message)
{
    if (!m_window)
    {
        return false;
    }
    return ::IsDialogMessageW(m_window, &message) != FALSE;
}

void SettingsDialog::CreateControls()
{
    for (const ControlPlacement& placement : kControls)
    {
        HWND control = ::CreateWindowExW(
            0, placement.className, placement.text,
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | placement.style, 0, 0, 0, 0, m_window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(placement.id)), m_instance, nullptr);
        if (!control)
        {
            continue;
        }
        const int id = placement.id;
        if (id >= SettingsKeyListId(0) && id < SettingsKeyListId(kKeyListCount))
        {
            m_keyLists[static_cast<std::size_t>(id - SettingsKeyListId(0))] = control;
        }
        else if (id >= SettingsPrefixId(0) && id < SettingsPrefixId(kKeyListCount))
        {
            m_prefixes[static_cast<std::size_t>(id - SettingsPrefixId(0))] = control;
        }
        else if (id >= SettingsHeadingId(0) && id < SettingsHeadingId(7))
        {
            m_headings[static_cast<std::size_t>(id - SettingsHeadingId(0))] = control;
        }
        else if (id == kIdSettingsModifier)
        {
            m_modifier = control;
        }
        else if (id == kIdSettingsAddCopy)
        {
            m_addCopy = control;
        }
        else if (id == kIdSettingsTab)
        {
            m_tab = control;
        }
        else if (id == kIdSettingsOk)
        {
            m_ok = control;
        }
        else if (id == kIdSettingsCancel)
        {
            m_cancel = control;
        }
        else if (id == kIdSettingsHotKeyFrame)
        {
            m_hotKeyFrame = control;
        }
        else if (id == kIdSettingsOtherFrame)
        {
            m_otherFrame = control;
        }
    }
    for (HWND frame : {m_hotKeyFrame, m_otherFrame})
    {
        if (frame)
        {
            ::SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }

    // The key lists take no keyboard input; every other control that can take the focus
    // refuses a click while the focused key list clashes with another.
    m_subclasses.reserve(kKeyListCount + 5);
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        m_subclasses.emplace_back(m_keyLists[list], &SettingsDialog::KeyListProc, list,
                                  reinterpret_cast<DWORD_PTR>(this));
    }
    for (HWND control : {m_modifier, m_addCopy, m_tab, m_ok, m_cancel})
    {
        m_subclasses.emplace_back(control, &SettingsDialog::FocusGateProc, kFocusGateSubclass,
                                  reinterpret_cast<DWORD_PTR>(this));
    }
}

void SettingsDialog::CreateToolTips()
{
    m_toolTip =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, m_instance, nullptr);
    if (!m_toolTip)
    {
        return; // the dialog works without its tips
    }
    const std::pair<HWND, const wchar_t*> tips[] = {
        {m_modifier, kModifierTip}, {m_addCopy, kAddCopyTip}, {m_tab, kTabTip}};
    for (const auto& [control, text] : tips)
    {
        TOOLINFOW tool{};
        // The older structure size, which every version of the control accepts.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<wchar_t*>(text);
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void SettingsDialog::ApplyDpi(int dotsPerInch)
{
    m_dotsPerInch = dotsPerInch > 0 ? dotsPerInch : 96;
    m_twipsPerPixel = TwipsPerPixel(m_dotsPerInch);
    m_labelFont = CreateJapaneseFont(kLabelFace, kFontSize, m_dotsPerInch);
    m_listFont = CreateJapaneseFont(kListFace, kFontSize, m_dotsPerInch);
}

SIZE SettingsDialog::OuterSize() const
{
    RECT outer{0, 0, ToPixel(kClientWidth, m_twipsPerPixel),
               ToPixel(kClientHeight, m_twipsPerPixel)};
    ::AdjustWindowRectEx(&outer, kDialogStyle, FALSE, kDialogExStyle);
    return SIZE{ToPixel(kOuterWidth, m_twipsPerPixel), outer.bottom - outer.top};
}

void SettingsDialog::PlaceControls()
{
    for (const ControlPlacement& placement : kControls)
    {
        HWND control = ::GetDlgItem(m_window, placement.id);
        if (!control)
        {
            continue;
        }
        HFONT font = placement.font == Font::List ? m_listFont.Get() : m_labelFont.Get();
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

        const ControlRect container = ContainerRect(placement.container);
        const int left = ToPixel(container.left, m_twipsPerPixel) +
                         ToPixel(placement.rect.left, m_twipsPerPixel);
        const int top =
            ToPixel(container.top, m_twipsPerPixel) + ToPixel(placement.rect.top, m_twipsPerPixel);
        const int width = ToPixel(placement.rect.width, m_twipsPerPixel);
        int height = ToPixel(placement.rect.height, m_twipsPerPixel);
        if (::lstrcmpiW(placement.className, WC_COMBOBOXW) == 0)
        {
            ::SetWindowPos(control, nullptr, left, top, width, height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            FitSelectionField(control, height);
            // The height given to a drop-down list is that of the open list: the field and
            // room for the entries below it. Version 6 of the controls sizes the open list by
            // a count of entries instead.
            ::SendMessageW(control, CB_SETMINVISIBLE, kVisibleEntries, 0);
            const int entryHeight =
                static_cast<int>(::SendMessageW(control, CB_GETITEMHEIGHT, 0, 0));
            height += kVisibleEntries * (entryHeight > 0 ? entryHeight : height) + 2;
        }
        ::SetWindowPos(control, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(m_window, nullptr, TRUE);
}

// Fills the lists in row order (get name, get value, newline, cancel last, stop/resume), then
// the modifier, whose choice sets the prefix labels, then the check boxes.
void SettingsDialog::Fill()
{
    m_filled = FillEditor(m_settings);
    for (const int index : kKeyListRows)
    {
        const auto list = static_cast<std::size_t>(index);
        HWND control = m_keyLists[list];
        ::SendMessageW(control, CB_RESETCONTENT, 0, 0);
        for (int letter = 0; letter < kLetterCount; ++letter)
        {
            const std::wstring text = KeyLetter(letter);
            ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(m_filled.letter[list]), 0);
    }
    ::SendMessageW(m_modifier, CB_RESETCONTENT, 0, 0);
    for (const std::wstring_view entry : kModifierEntries)
    {
        const std::wstring text(entry);
        ::SendMessageW(m_modifier, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageW(m_modifier, CB_SETCURSEL, static_cast<WPARAM>(m_filled.modifier), 0);
    RelabelPrefixes();
    ::SendMessageW(m_tab, BM_SETCHECK, m_filled.separateTab ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageW(m_addCopy, BM_SETCHECK, m_filled.addCopy ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SettingsDialog::RelabelPrefixes()
{
    const int modifier = static_cast<int>(::SendMessageW(m_modifier, CB_GETCURSEL, 0, 0));
    const std::wstring text = PrefixLabel(modifier);
    for (HWND label : m_prefixes)
    {
        ::SetWindowTextW(label, text.c_str());
    }
}

EditorState SettingsDialog::CurrentState() const
{
    EditorState state;
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        const auto selected = ::SendMessageW(m_keyLists[list], CB_GETCURSEL, 0, 0);
        state.letter[list] = selected == CB_ERR ? kNoLetter : static_cast<int>(selected);
    }
    const auto modifier = ::SendMessageW(m_modifier, CB_GETCURSEL, 0, 0);
    state.modifier = modifier == CB_ERR ? -1 : static_cast<int>(modifier);
    state.separateTab = ::SendMessageW(m_tab, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    state.addCopy = ::SendMessageW(m_addCopy, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return state;
}

int SettingsDialog::KeyListIndex(HWND control) const
{
    if (!control)
    {
        return -1;
    }
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        if (m_keyLists[list] == control)
        {
            return static_cast<int>(list);
        }
    }
    return -1;
}

// The duplicate test, run before the focus moves to `target` (a click on it, or a key that
// would move the focus or press a button): when the focus is on a key list whose letter
// another list shows, the move is refused with a message and the focus stays on that list.
// True when refused; the caller then drops the click or key.
bool SettingsDialog::RefuseFocusChange(HWND target)
{
    if (m_refusing)
    {
        // The message is already up; anything that slips through meanwhile is dropped too.
        return true;
    }
    HWND focus = ::GetFocus();
    if (focus == target)
    {
        return false;
    }
    const int list = KeyListIndex(focus);
    if (list < 0 || !IsDuplicate(CurrentState().letter, list))
    {
        return false;
    }
    const FlagReset refusing(m_refusing);
    m_lastFocus = focus;
    ::MessageBoxW(m_window, kDuplicateText, kDuplicateTitle, MB_OK);
    // The program may have closed the dialog while the message was up.
    if (m_window && ::IsWindow(focus))
    {
        ::SetFocus(focus);
    }
    return true;
}

void SettingsDialog::CloseWith(DialogClose how)
{
    if (!m_window)
    {
        return;
    }
    if (how == DialogClose::Ok || how == DialogClose::CloseBox)
    {
        StoreEditor(CurrentState(), m_filled, m_settings);
    }
    // The owner re-enables itself before the window goes, so that the activation returns to
    // it at once rather than to another program's window.
    if (m_onClose)
    {
        m_onClose(how);
    }
    if (m_window)
    {
        ::DestroyWindow(m_window);
    }
}

void SettingsDialog::OnCommand(int id, int code)
{
    switch (id)
    {
    case kIdSettingsOk:
    case kIdSettingsCancel:
        // A click on either button reaches here only after the focus moved to it. Enter and
        // Escape come here from IsDialogMessage with the focus unmoved: while that focus is
        // on a clashing key list they are refused like a click.
        if (code != BN_CLICKED)
        {
            return;
        }
        if (RefuseFocusChange(id == kIdSettingsOk ? m_ok : m_cancel))
        {
            return;
        }
        CloseWith(id == kIdSettingsOk ? DialogClose::Ok : DialogClose::Cancel);
        return;
    case kIdSettingsModifier:
        if (code == CBN_SELCHANGE)
        {
            RelabelPrefixes();
        }
        return;
    default:
        return;
    }
}

// The dialog is not a system dialog, so it keeps its focused control itself across
// deactivation (the duplicate message takes the activation too).
void SettingsDialog::OnActivate(bool active)
{
    if (!active)
    {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(m_window, focus))
        {
            m_lastFocus = focus;
        }
        return;
    }
    HWND target = m_lastFocus && ::IsWindow(m_lastFocus) && ::IsChild(m_window, m_lastFocus)
                      ? m_lastFocus
                      : m_keyLists[0];
    ::SetFocus(target);
}

void SettingsDialog::OnSizing(WPARAM edge, RECT& rect) const
{
    const int width = OuterSize().cx;
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
    {
        rect.left = rect.right - width;
    }
    else
    {
        rect.right = rect.left + width;
    }
}

void SettingsDialog::OnWindowPosChanging(WINDOWPOS& position) const
{
    if (!(position.flags & SWP_NOSIZE))
    {
        position.cx = OuterSize().cx;
    }
}

HBRUSH SettingsDialog::OnControlColour(HDC dc, HWND control) const
{
    if (control != m_headings[4] && control != m_headings[5])
    {
        return nullptr;
    }
    ::SetTextColor(dc, kBlue);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT CALLBACK SettingsDialog::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept
{
    auto* self = WindowOwner<SettingsDialog>(window, message, lParam);
    if (!self)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCCREATE)
    {
        self->m_window = window;
    }
    if (message == WM_NCDESTROY)
    {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        self->m_keyLists = {};
        self->m_prefixes = {};
        self->m_headings = {};
        self->m_modifier = self->m_addCopy = self->m_tab = nullptr;
        self->m_ok = self->m_cancel = nullptr;
        self->m_hotKeyFrame = self->m_otherFrame = self->m_toolTip = nullptr;
        self->m_lastFocus = nullptr;
        // The controls are gone, so their fonts may go too.
        self->m_labelFont.Reset();
        self->m_listFont.Reset();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try
    {
        return self->OnMessage(message, wParam, lParam);
    }
    catch (...)
    {
        // Nothing may leave a window procedure.
        return 0;
    }
}

LRESULT SettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        // The close box and the system menu: applies like "OK", without the duplicate test,
        // since closing moves no focus.
        CloseWith(DialogClose::CloseBox);
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        OnActivate(true);
        return 0;
    case WM_SIZING:
        OnSizing(wParam, *reinterpret_cast<RECT*>(lParam));
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush =
                OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
        {
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_DPICHANGED:
    {
        const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
        ApplyDpi(HIWORD(wParam));
        const SIZE outer = OuterSize();
        ::SetWindowPos(m_window, nullptr, suggested.left, suggested.top, outer.cx, outer.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        PlaceControls();
        return 0;
    }
    case WM_DESTROY:
        // Before the controls go: each subclass is removed from a window that still exists.
        m_subclasses.clear();
        break;
    default:
        break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK SettingsDialog::KeyListProc(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR data) noexcept
{
    auto* self = reinterpret_cast<SettingsDialog*>(data);
    try
    {
        return self->OnKeyListMessage(control, message, wParam, lParam);
    }
    catch (...)
    {
        return 0;
    }
}

// A key list takes no keyboard input: a letter is picked with the mouse from the open list.
// - Tab and Shift+Tab move the focus on, after the duplicate test; the list asks for Tab
//   itself, so that IsDialogMessage leaves the move (and the test) to it.
// - Escape closes an open list without a change; Enter does the same, since it would pick the
//   entry under the pointer. With the list closed, IsDialogMessage turns them into "Cancel"
//   and "OK" before they reach the list.
// - Every other key and character, Alt+Up and Alt+Down (which open the list) included, is
//   dropped, and so is the mouse wheel, which would step through the letters of a closed list.
LRESULT SettingsDialog::OnKeyListMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Asked only for the messages that need it: asked for every message, the list's own
    // CB_GETDROPPEDSTATE would come back here without end.
    auto dropped = [control] { return ::SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0) != FALSE; };
    switch (message)
    {
    case WM_GETDLGCODE:
    {
        LRESULT code = ::DefSubclassProc(control, message, wParam, lParam);
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_TAB)
        {
            code |= DLGC_WANTTAB;
        }
        return code;
    }
    case WM_KEYDOWN:
        switch (wParam)
        {
        case VK_TAB:
        {
            if (RefuseFocusChange(nullptr))
            {
                return 0;
            }
            if (HWND next = ::GetNextDlgTabItem(m_window, control, IsKeyDown(VK_SHIFT)))
            {
                ::SetFocus(next);
            }
            return 0;
        }
        case VK_ESCAPE:
            return dropped() ? ::DefSubclassProc(control, message, wParam, lParam) : 0;
        case VK_RETURN:
            return dropped() ? ::DefSubclassProc(control, message, VK_ESCAPE, lParam) : 0;
        default:
            return 0;
        }
    case WM_SYSKEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN)
        {
            return 0;
        }
        break;
    case WM_CHAR:
        return 0;
    case WM_MOUSEWHEEL:
        if (!dropped())
        {
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (RefuseFocusChange(control))
        {
            return 0;
        }
        break;
    default:
        break;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

// Every other control that takes the focus on a click: the click is dropped while the focused
// key list clashes, so the button does not act, the box does not toggle and the list does not
// open.
LRESULT CALLBACK SettingsDialog::FocusGateProc(HWND control, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR data) noexcept
{
    auto* self = reinterpret_cast<SettingsDialog*>(data);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
    {
        try
        {
            if (self->RefuseFocusChange(control))
            {
                return 0;
            }
        }
        catch (...)
        {
            return 0;
        }
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

} // namespace mirufon::win32
