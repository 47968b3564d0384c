#include "platform/win32/settingsdialog/SettingsDialog.h"

#include "platform/win32/settingsdialog/SettingsDialogIds.h"
#include "platform/win32/settingsdialog/SettingsDialogLayout.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "platform/win32/window/Fonts.h"
#include "shell/AppInfo.h"
#include "shell/Layout.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

namespace mirufon::win32
{
namespace
{

constexpr COLORREF kBlue = RGB(0, 0, 255);

} // namespace

SettingsDialog::SettingsDialog(HINSTANCE instance, HWND owner, Settings& settings,
                               std::function<void(DialogClose)> onClose,
                               const MonitorLayout& monitors, std::optional<RunAtLogon> runAtLogon)
    : m_instance(instance), m_owner(owner), m_settings(settings), m_onClose(std::move(onClose)),
      m_monitors(monitors),
      m_runAtLogon(runAtLogon ? std::move(*runAtLogon) : RunAtLogon(ExecutablePath()))
{
}

SettingsDialog::~SettingsDialog()
{
    // The owner is going too: no store, no call back into it. The subclasses go before the
    // controls they hook.
    m_onClose = nullptr;
    m_subclasses.clear();
}

bool SettingsDialog::Open()
{
    if (Exists())
    {
        BringToFront();
        return true;
    }
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);

    if (!RegisterWindowClass(ProgramWindowClass(m_instance, kSettingsDialogClass,
                                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))))
    {
        return false;
    }

    // Centred on the main window's monitor (hidden in the tray, the window keeps its place),
    // its caption, frame and controls at that monitor's scale.
    const Monitor monitor = MonitorOfWindow(m_monitors, m_owner);
    ApplyDpi(monitor.dpi);
    const SIZE outer = SettingsDialogOuterSize(m_dotsPerInch);
    const RECT place = ToRect(CentredIn(monitor.workArea, outer.cx, outer.cy));
    const std::wstring caption = GetAppTitle();
    if (!CreateBoundWindow(kSettingsDialogExStyle, kSettingsDialogClass, caption.c_str(),
                           kSettingsDialogStyle, place.left, place.top, outer.cx, outer.cy, m_owner,
                           m_instance))
    {
        return false;
    }
    m_icons.Apply(Handle(), m_instance, m_dotsPerInch);
    CreateSettingsControls(Handle(), m_instance);
    if (!FindControls())
    {
        ::DestroyWindow(Handle());
        return false;
    }
    SubclassControls();
    PlaceSettingsControls(Handle(), m_twipsPerPixel, m_labelFont.Get(), m_listFont.Get());
    Fill();

    // Always on top before the tips exist: the window system places a window that is raised
    // right after the windows it owns, and a tip window, owned and topmost already, would then
    // take the topmost place while the dialog stays an ordinary window behind it.
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CreateSettingsToolTips(Handle(), m_instance);
    ::ShowWindow(Handle(), SW_SHOW);
    ::UpdateWindow(Handle());
    ::SetForegroundWindow(Handle());
    m_lastFocus = m_keyLists[0];
    ::SetFocus(m_keyLists[0]);
    return true;
}

bool SettingsDialog::FindControls()
{
    const auto item = [this](int id) { return ::GetDlgItem(Handle(), id); };
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        m_keyLists[list] = item(SettingsKeyListId(static_cast<int>(list)));
        m_prefixes[list] = item(SettingsPrefixId(static_cast<int>(list)));
    }
    for (std::size_t label = 0; label < m_headings.size(); ++label)
    {
        m_headings[label] = item(SettingsHeadingId(static_cast<int>(label)));
    }
    m_modifier = item(kIdSettingsModifier);
    m_captureCopiesBox = item(kIdSettingsAddCopy);
    m_tabSeparatedBox = item(kIdSettingsTab);
    m_startWithWindowsBox = item(kIdSettingsStartWithWindows);
    m_ok = item(kIdSettingsOk);
    m_cancel = item(kIdSettingsCancel);
    return std::all_of(m_keyLists.begin(), m_keyLists.end(),
                       [](HWND list) { return list != nullptr; }) &&
           m_modifier && m_captureCopiesBox && m_tabSeparatedBox && m_startWithWindowsBox && m_ok &&
           m_cancel;
}

void SettingsDialog::BringToFront()
{
    if (!Exists())
    {
        return;
    }
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
}

void SettingsDialog::Close()
{
    CloseWith(DialogClose::Shutdown);
}

bool SettingsDialog::TranslateDialogMessage(MSG& message)
{
    return Exists() && ::IsDialogMessageW(Handle(), &message) != FALSE;
}

// Once the window exists, its controls are placed anew and given the new fonts before the old
// ones are deleted: a control must never hold a font that is gone.
void SettingsDialog::ApplyDpi(int dotsPerInch)
{
    m_dotsPerInch = dotsPerInch > 0 ? dotsPerInch : 96;
    m_twipsPerPixel = TwipsPerPixel(m_dotsPerInch);
    UniqueFont labelFont = CreateProgramFont(FontRole::Label, m_dotsPerInch);
    UniqueFont listFont = CreateProgramFont(FontRole::Text, m_dotsPerInch);
    if (Exists())
    {
        PlaceSettingsControls(Handle(), m_twipsPerPixel, labelFont.Get(), listFont.Get());
    }
    m_labelFont = std::move(labelFont);
    m_listFont = std::move(listFont);
}

void SettingsDialog::CloseWith(DialogClose how)
{
    if (!Exists())
    {
        return;
    }
    if (how == DialogClose::Ok || how == DialogClose::CloseBox)
    {
        StoreEditorState(CurrentState(), m_filled, m_settings);
        ApplyStartWithWindows();
        // The program may have closed the dialog while a failure was shown.
        if (!Exists())
        {
            return;
        }
    }
    // The owner re-enables itself before the window goes, so that the activation returns to
    // it at once rather than to another program's window.
    if (m_onClose)
    {
        m_onClose(how);
    }
    if (Exists())
    {
        ::DestroyWindow(Handle());
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
        HoldOuterWidth(wParam, *reinterpret_cast<RECT*>(lParam), m_twipsPerPixel);
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        HoldOuterWidth(*reinterpret_cast<WINDOWPOS*>(lParam), m_twipsPerPixel);
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
        m_icons.Apply(Handle(), m_instance, m_dotsPerInch);
        const SIZE outer = SettingsDialogOuterSize(m_dotsPerInch);
        ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, outer.cx, outer.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        // Before the controls go: each subclass is removed from a window that still exists.
        m_subclasses.clear();
        break;
    default:
        break;
    }
    return DefaultProcedure(message, wParam, lParam);
}

void SettingsDialog::OnDestroyed()
{
    m_keyLists = {};
    m_prefixes = {};
    m_headings = {};
    m_modifier = m_captureCopiesBox = m_tabSeparatedBox = m_startWithWindowsBox = m_ok = m_cancel =
        nullptr;
    m_lastFocus = nullptr;
    // The controls are gone, so their fonts may go too.
    m_labelFont.Reset();
    m_listFont.Reset();
}

} // namespace mirufon::win32