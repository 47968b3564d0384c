#include "platform/win32/settingsdialog/SettingsDialogLayout.h"

#include "platform/win32/settingsdialog/SettingsDialogIds.h"
#include "platform/win32/window/Dpi.h"
#include "text/UiText.h"

#include <commctrl.h>

namespace mirufon::win32
{
namespace
{

// Entries a key list shows at once when it drops down.
constexpr int kVisibleEntries = 8;

constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kPrefixStyle = SS_RIGHT | SS_NOPREFIX;
constexpr DWORD kListStyle = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP;
constexpr DWORD kCheckStyle = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;

// Every row, in creation order, which is the z-order (first on top) and the tab order.
// clang-format off
constexpr ControlPlacement kRows[] = {
    // Row 1: get name.
    {SettingsPrefixId(0), L"STATIC", std::nullopt, kPrefixStyle, Container::HotKeyFrame, {2100, 330, 1000, 225}, DialogFont::Label, Container::Form},
    {SettingsHeadingId(4), L"STATIC", UiText::HeadingName, kLabelStyle, Container::HotKeyFrame, {1110, 330, 1035, 285}, DialogFont::Label, Container::Form},
    {SettingsKeyListId(0), WC_COMBOBOXW, std::nullopt, kListStyle, Container::HotKeyFrame, {3150, 300, 615, 315}, DialogFont::List, Container::Form},
    // Row 2: get value.
    {SettingsPrefixId(4), L"STATIC", std::nullopt, kPrefixStyle, Container::HotKeyFrame, {2100, 690, 1000, 225}, DialogFont::Label, Container::Form},
    {SettingsHeadingId(5), L"STATIC", UiText::HeadingValue, kLabelStyle, Container::HotKeyFrame, {1110, 660, 1035, 285}, DialogFont::Label, Container::Form},
    {SettingsKeyListId(4), WC_COMBOBOXW, std::nullopt, kListStyle, Container::HotKeyFrame, {3150, 660, 615, 315}, DialogFont::List, Container::Form},
    {SettingsHeadingId(0), L"STATIC", UiText::HeadingCaptureName, kLabelStyle, Container::HotKeyFrame, {330, 360, 780, 285}, DialogFont::Label, Container::Form},
    // Row 3: newline.
    {SettingsPrefixId(1), L"STATIC", std::nullopt, kPrefixStyle, Container::HotKeyFrame, {2100, 1110, 1000, 225}, DialogFont::Label, Container::Form},
    {SettingsHeadingId(1), L"STATIC", UiText::HeadingLineBreak, kLabelStyle, Container::HotKeyFrame, {330, 1080, 1770, 285}, DialogFont::Label, Container::Form},
    {SettingsKeyListId(1), WC_COMBOBOXW, std::nullopt, kListStyle, Container::HotKeyFrame, {3150, 1050, 615, 315}, DialogFont::List, Container::Form},
    // Row 4: cancel the last item.
    {SettingsPrefixId(2), L"STATIC", std::nullopt, kPrefixStyle, Container::HotKeyFrame, {2100, 1470, 1000, 225}, DialogFont::Label, Container::Form},
    {SettingsHeadingId(2), L"STATIC", UiText::HeadingCancel, kLabelStyle, Container::HotKeyFrame, {330, 1470, 1770, 285}, DialogFont::Label, Container::Form},
    {SettingsKeyListId(2), WC_COMBOBOXW, std::nullopt, kListStyle, Container::HotKeyFrame, {3150, 1410, 615, 315}, DialogFont::List, Container::Form},
    // Row 5: stop/resume.
    {SettingsPrefixId(3), L"STATIC", std::nullopt, kPrefixStyle, Container::HotKeyFrame, {2100, 1860, 1000, 225}, DialogFont::Label, Container::Form},
    {SettingsHeadingId(3), L"STATIC", UiText::HeadingStopResume, kLabelStyle, Container::HotKeyFrame, {330, 1860, 1770, 285}, DialogFont::Label, Container::Form},
    {SettingsKeyListId(3), WC_COMBOBOXW, std::nullopt, kListStyle, Container::HotKeyFrame, {3150, 1800, 615, 315}, DialogFont::List, Container::Form},
    // Row 6: harvest, one row pitch (390) below row 5.
    {SettingsPrefixId(5), L"STATIC", std::nullopt, kPrefixStyle, Container::HotKeyFrame, {2100, 2250, 1000, 225}, DialogFont::Label, Container::Form},
    {SettingsHeadingId(7), L"STATIC", UiText::HeadingHarvest, kLabelStyle, Container::HotKeyFrame, {330, 2250, 1770, 285}, DialogFont::Label, Container::Form},
    {SettingsKeyListId(5), WC_COMBOBOXW, std::nullopt, kListStyle, Container::HotKeyFrame, {3150, 2190, 615, 315}, DialogFont::List, Container::Form},
    // The modifier row.
    {SettingsHeadingId(6), L"STATIC", UiText::HeadingModifier, kLabelStyle, Container::HotKeyFrame, {1440, 2730, 825, 285}, DialogFont::Label, Container::Form},
    {kIdSettingsModifier, WC_COMBOBOXW, std::nullopt, kListStyle, Container::HotKeyFrame, {2340, 2670, 1425, 315}, DialogFont::List, Container::Form, UiText::ModifierTip},
    // "その他".
    {kIdSettingsAddCopy, L"BUTTON", UiText::CopyCaptureCheck, kCheckStyle, Container::OtherFrame, {300, 300, 3165, 255}, DialogFont::Label, Container::Form, UiText::CopyCaptureTip},
    {kIdSettingsTab, L"BUTTON", UiText::TabSeparatorCheck, kCheckStyle, Container::OtherFrame, {300, 600, 3165, 255}, DialogFont::Label, Container::Form, UiText::TabSeparatorTip},
    {kIdSettingsStartWithWindows, L"BUTTON", UiText::StartWithWindowsCheck, kCheckStyle, Container::OtherFrame, {300, 900, 3165, 255}, DialogFont::Label, Container::Form},
    // The buttons, one row pitch (390) lower for the third check box.
    {kIdSettingsOk, L"BUTTON", UiText::OkButton, kButtonStyle, Container::ButtonFrame, {330, 0, 975, 345}, DialogFont::Label, Container::Form},
    {kIdSettingsCancel, L"BUTTON", UiText::CancelButton, kButtonStyle, Container::ButtonFrame, {1320, 0, 945, 345}, DialogFont::Label, Container::Form},
    // The frames.
    {kIdSettingsHotKeyFrame, L"BUTTON", UiText::HotKeysFrame, BS_GROUPBOX, Container::Form, {120, 120, 3885, 3165}, DialogFont::Label, Container::HotKeyFrame},
    {kIdSettingsOtherFrame, L"BUTTON", UiText::OtherFrame, BS_GROUPBOX, Container::Form, {120, 3420, 3885, 1575}, DialogFont::Label, Container::OtherFrame},
    // The borderless frame round the buttons: no window, only the offset of what it holds.
    {0, nullptr, std::nullopt, 0, Container::Form, {1680, 5100, 2265, 345}, DialogFont::Label, Container::ButtonFrame},
};
// clang-format on

bool IsWindowRow(const ControlPlacement& row)
{
    return row.className != nullptr;
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

// A container's place on the dialog, read from its row; the whole client area for Form.
ControlRect ContainerRect(Container container)
{
    for (const ControlPlacement& row : kRows)
    {
        if (container != Container::Form && row.frameOf == container)
        {
            return row.rect;
        }
    }
    return {0, 0, kSettingsClientWidth, kSettingsClientHeight};
}

} // namespace

SIZE SettingsDialogOuterSize(int dpi)
{
    const std::int32_t twipsPerPixel = TwipsPerPixel(dpi);
    const RECT outer = OuterRectForDpi(RECT{0, 0, ToPixels(kSettingsClientWidth, twipsPerPixel),
                                            ToPixels(kSettingsClientHeight, twipsPerPixel)},
                                       kSettingsDialogStyle, false, kSettingsDialogExStyle, dpi);
    return SIZE{ToPixels(kSettingsOuterWidth, twipsPerPixel), outer.bottom - outer.top};
}

void HoldOuterWidth(WPARAM edge, RECT& rect, std::int32_t twipsPerPixel)
{
    const int width = ToPixels(kSettingsOuterWidth, twipsPerPixel);
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
    {
        rect.left = rect.right - width;
    }
    else
    {
        rect.right = rect.left + width;
    }
}

void HoldOuterWidth(WINDOWPOS& position, std::int32_t twipsPerPixel)
{
    if (!(position.flags & SWP_NOSIZE))
    {
        position.cx = ToPixels(kSettingsOuterWidth, twipsPerPixel);
    }
}

void CreateSettingsControls(HWND dialog, HINSTANCE instance)
{
    for (const ControlPlacement& row : kRows)
    {
        if (!IsWindowRow(row))
        {
            continue;
        }
        HWND control = ::CreateWindowExW(
            0, row.className, row.text ? std::wstring(Text(*row.text)).c_str() : L"",
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | row.style, 0, 0, 0, 0, dialog,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        if (control && row.frameOf != Container::Form)
        {
            ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

void CreateSettingsToolTips(HWND dialog, HINSTANCE instance)
{
    HWND toolTip =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
    if (!toolTip)
    {
        return;
    }
    for (const ControlPlacement& row : kRows)
    {
        if (!row.tip)
        {
            continue;
        }
        TOOLINFOW tool{};
        // The older structure size, which every version of the control accepts.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(dialog, row.id));
        std::wstring tip(Text(*row.tip));
        tool.lpszText = tip.data();
        ::SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void PlaceSettingsControls(HWND dialog, std::int32_t twipsPerPixel, HFONT labelFont, HFONT listFont)
{
    for (const ControlPlacement& row : kRows)
    {
        HWND control = IsWindowRow(row) ? ::GetDlgItem(dialog, row.id) : nullptr;
        if (!control)
        {
            continue;
        }
        HFONT font = row.font == DialogFont::List ? listFont : labelFont;
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

        const ControlRect container = ContainerRect(row.container);
        const int left =
            ToPixels(container.left, twipsPerPixel) + ToPixels(row.rect.left, twipsPerPixel);
        const int top =
            ToPixels(container.top, twipsPerPixel) + ToPixels(row.rect.top, twipsPerPixel);
        const int width = ToPixels(row.rect.width, twipsPerPixel);
        int height = ToPixels(row.rect.height, twipsPerPixel);
        if (::lstrcmpiW(row.className, WC_COMBOBOXW) == 0)
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
    ::InvalidateRect(dialog, nullptr, TRUE);
}

} // namespace mirufon::win32
