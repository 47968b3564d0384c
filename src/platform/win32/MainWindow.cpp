#include "platform/win32/MainWindow.h"

#include "hotkeys/RunState.h"
#include "platform/win32/Accessibility.h"
#include "platform/win32/ControlIds.h"
#include "platform/win32/Fonts.h"
#include "platform/win32/MessageWindow.h"
#include "platform/win32/Preview.h"
#include "platform/win32/VersionInfo.h"
#include "shell/AppInfo.h"
#include "shell/MessageWindow.h"
#include "shell/SettingsFlow.h"
#include "shell/Tray.h"

#include <shellapi.h>

#include <cmath>

namespace mirufon::win32
{
namespace
{

constexpr COLORREF kLabelGreen = RGB(0, 128, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPreviewNameBackground = RGB(232, 240, 255);
constexpr COLORREF kPreviewValueBackground = RGB(224, 255, 255);
constexpr COLORREF kStoppedBackground = RGB(248, 248, 248);
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kFontSize = 975; // 9.75 pt

constexpr UINT_PTR kTimerKey = 1;
constexpr UINT_PTR kTimerEnd = 2;
constexpr UINT kTimerInterval = 10;

constexpr wchar_t kHotKeyHelpTitle[] = L"ホットキー説明";

std::int32_t ToPixel(std::int32_t twips, std::int32_t twipsPerPixel)
{
    return static_cast<std::int32_t>(
        std::lround(static_cast<double>(twips) / static_cast<double>(twipsPerPixel)));
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
                 HINSTANCE instance)
{
    return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
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

std::wstring MenuText(HMENU menu, UINT id)
{
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, id, text, 128, MF_BYCOMMAND);
    return text;
}

void SetMenuText(HMENU menu, UINT id, const std::wstring& text)
{
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<wchar_t*>(text.c_str());
    ::SetMenuItemInfoW(menu, id, FALSE, &item);
}

WNDPROC g_logEditProcedure = nullptr;
constexpr UINT kSelectAllMessage = WM_APP;

// The log box's own procedure, seen first: Ctrl+A selects the whole log. The key goes on to
// the control either way.
LRESULT CALLBACK LogEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
    {
        const bool shift = ::GetKeyState(VK_SHIFT) < 0;
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        const bool alt = ::GetKeyState(VK_MENU) < 0;
        if (IsSelectAllChord(static_cast<int>(wParam), shift, ctrl, alt))
        {
            ::SendMessageW(::GetParent(edit), kSelectAllMessage, 0, 0);
        }
    }
    return ::CallWindowProcW(g_logEditProcedure, edit, message, wParam, lParam);
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance)
    : m_instance(instance), m_conf(ConfPathBesideExecutable()),
      m_whiteBrush(::CreateSolidBrush(kWhite))
{
}

MainWindow::~MainWindow()
{
    if (m_window)
    {
        ::DestroyWindow(m_window);
    }
}

bool MainWindow::Create()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::WindowProc;
    windowClass.hInstance = m_instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kMainWindowClass;
    windowClass.hIcon =
        static_cast<HICON>(::LoadImageW(m_instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    windowClass.hIconSm =
        static_cast<HICON>(::LoadImageW(m_instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    ::RegisterClassExW(&windowClass);

    // The window as created: its client area is 6555 x 3540 twips, with the menu bar.
    m_dotsPerInch = PrimaryScreenDotsPerInch();
    m_twipsPerPixelX = TwipsPerPixel(m_dotsPerInch);
    m_twipsPerPixelY = m_twipsPerPixelX;
    RECT outer{0, 0, ToPixel(kCreatedClientWidth, m_twipsPerPixelX),
               ToPixel(kCreatedClientHeight, m_twipsPerPixelY)};
    ::AdjustWindowRectEx(&outer, kMainStyle, TRUE, 0);

    m_window = ::CreateWindowExW(0, kMainWindowClass, L"", kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                 outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                 nullptr, m_instance, this);
    if (!m_window)
    {
        return false;
    }
    Load();
    if (!m_hiddenInTray)
    {
        ::ShowWindow(m_window, SW_SHOW);
        ::UpdateWindow(m_window);
    }
    return true;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept
{
    auto* self = WindowOwner<MainWindow>(window, message, lParam);
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
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

// Installed in front of the window's procedure while hotkeys are registered: runs the command
// of a WM_HOTKEY, then passes every message on.
LRESULT CALLBACK MainWindow::HotKeyWndProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept
{
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->m_hotKeys)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnHotKeyProcedure(message, wParam, lParam);
}

LRESULT MainWindow::OnHotKeyProcedure(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    HWND window = m_window;
    const ProcedureId before = m_hotKeys->Previous();
    try
    {
        m_dispatcher.OnMessage(message == WM_HOTKEY, static_cast<std::int32_t>(wParam), *m_hotKeys,
                               [this](HotKeyCommand command) { RunHotKeyCommand(command); });
    }
    catch (...)
    {
        // Nothing may leave a window procedure; the command is simply over.
    }
    // Stop and resume re-install this procedure while the command runs; the procedure to
    // pass on to is the one in place now.
    const ProcedureId after = m_hotKeys ? m_hotKeys->Previous() : 0;
    const auto previous = reinterpret_cast<WNDPROC>(after ? after : before);
    if (!previous)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

// Installed in front of the window's procedure while copy capture runs: handles the clipboard
// viewer chain's notifications, then passes every message on.
LRESULT CALLBACK MainWindow::ClipViewerProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept
{
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->m_copyCapture)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnClipViewerProcedure(message, wParam, lParam);
}

LRESULT MainWindow::OnClipViewerProcedure(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    HWND window = m_window;
    const ProcedureId before = m_copyCapture->Previous();
    if (message == WM_DRAWCLIPBOARD || message == WM_CHANGECBCHAIN)
    {
        try
        {
            m_copyCapture->OnMessage(message, static_cast<std::uintptr_t>(wParam),
                                     static_cast<std::intptr_t>(lParam));
        }
        catch (...)
        {
            // Nothing may leave a window procedure.
        }
    }
    const ProcedureId after = m_copyCapture ? m_copyCapture->Previous() : 0;
    const auto previous = reinterpret_cast<WNDPROC>(after ? after : before);
    if (!previous)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == m_taskbarCreated && m_taskbarCreated != 0)
    {
        // The shell restarted: without the icon a program in the tray could not be reached.
        m_tray.Restore();
        return 0;
    }
    switch (message)
    {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_TIMER:
        if (wParam == kTimerKey)
        {
            OnPreviewTick();
        }
        else if (wParam == kTimerEnd)
        {
            // The shutdown is over but the process still runs: end it now.
            ::ExitProcess(0);
        }
        return 0;
    case WM_COMMAND:
        if (lParam == 0)
        {
            OnCommand(LOWORD(wParam));
        }
        return 0;
    case TrayIcon::kTrayMessage:
        OnTrayMessage(LOWORD(lParam));
        return 0;
    case kSelectAllMessage:
        if (m_captureLog)
        {
            m_captureLog->SelectAll(::GetForegroundWindow() == m_window);
        }
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        Unload();
        ::DestroyWindow(m_window);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
        {
            Unload();
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(m_window, message, wParam, lParam);
    }
}

void MainWindow::OnCreate()
{
    CreateMenus();
    CreateControls();
    ApplyFonts();
    m_procedureSlot.emplace(m_window);
    m_clipboardChain.emplace(m_window);
    m_copyCapture.emplace(
        *m_clipboardChain, *m_procedureSlot,
        reinterpret_cast<ProcedureId>(&MainWindow::ClipViewerProc),
        reinterpret_cast<WindowId>(m_window), m_pump,
        [this](std::wstring_view text)
        {
            if (m_captureLog)
            {
                m_captureLog->GetDt(text);
            }
        },
        [this](std::wstring_view title, std::wstring_view text) {
            ::MessageBoxW(m_window, std::wstring(text).c_str(), std::wstring(title).c_str(), MB_OK);
        });
    m_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    m_hotKeyApi.emplace(m_window);
    m_hotKeys.emplace(*m_hotKeyApi, *m_procedureSlot,
                      reinterpret_cast<ProcedureId>(&MainWindow::HotKeyWndProc));
    // The preview runs from the window's creation on.
    ::SetTimer(m_window, kTimerKey, kTimerInterval, nullptr);
}

void MainWindow::CreateMenus()
{
    HMENU display = ::CreatePopupMenu();
    ::AppendMenuW(display, MF_STRING, kMenuDispTop, L"最前面表示");

    m_menuBar = ::CreateMenu();
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuGo, std::wstring(kRunningCaption).c_str());
    ::AppendMenuW(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(display), L"表示");
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuClear, L"クリア");
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuSetting, L"設定");
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuHelp, L"ヘルプ");
    ::AppendMenuW(m_menuBar, MF_STRING, kMenuHelpHotKey, L"？ホットキー");
    ::SetMenu(m_window, m_menuBar);

    // The tray icon's pop-up menu: never in the menu bar.
    HMENU version = ::CreatePopupMenu();
    ::AppendMenuW(version, MF_STRING, kMenuVerNo, L"バージョン");
    m_popupMenu.Reset(::CreatePopupMenu());
    HMENU popup = m_popupMenu.Get();
    ::AppendMenuW(popup, MF_STRING, kMenuDisp2, L"設定");
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(popup, MF_STRING, kMenuShowPopup, L"表示");
    ::AppendMenuW(popup, MF_STRING, kMenuTrayOut, L"トレイから出す");
    ::AppendMenuW(popup, MF_STRING, kMenuPopupClear, L"クリア");
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(popup, MF_STRING, kMenuHelp2, L"ヘルプ");
    ::AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(version), L"バージョン");
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(popup, MF_STRING, kMenuEnd2, L"終了");
}

void MainWindow::CreateControls()
{
    m_lblName = CreateChild(m_window, L"STATIC", L"accName:", SS_LEFT | SS_NOPREFIX, kIdLabelName,
                            m_instance);
    m_lblValue = CreateChild(m_window, L"STATIC", L"accValue:", SS_LEFT | SS_NOPREFIX,
                             kIdLabelValue, m_instance);
    m_previewName.Attach(CreateChild(m_window, L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY,
                                     kIdPreviewName, m_instance));
    m_previewValue.Attach(CreateChild(m_window, L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY,
                                      kIdPreviewValue, m_instance));
    m_previewName.SetBackground(kPreviewNameBackground);
    m_previewValue.SetBackground(kPreviewValueBackground);
    // A preview shows the beginning of a long text, not its end.
    m_previewName.SetCaretToEndOnSet(false);
    m_previewValue.SetCaretToEndOnSet(false);
    m_lblKeyName =
        CreateChild(m_window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kIdKeyName, m_instance);
    m_lblKeyValue =
        CreateChild(m_window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kIdKeyValue, m_instance);
    m_log.Attach(CreateChild(m_window, L"EDIT", L"",
                             ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN |
                                 ES_NOHIDESEL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                             kIdLog, m_instance));
    LiftTextLimit(m_log.Handle());
    m_log.SetTextColor(kIntroTextColour);
    SetLogBackground(::GetSysColor(COLOR_INFOBK));
    g_logEditProcedure = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        m_log.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LogEditProc)));
}

void MainWindow::ApplyFonts()
{
    m_uiFont = CreateJapaneseFont(L"ＭＳ Ｐゴシック", kFontSize, m_dotsPerInch);
    m_logFont = CreateJapaneseFont(L"ＭＳ ゴシック", kFontSize, m_dotsPerInch);
    for (HWND control : {m_lblName, m_lblValue, m_previewName.Handle(), m_previewValue.Handle(),
                         m_lblKeyName, m_lblKeyValue})
    {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_uiFont.Get()), TRUE);
    }
    ::SendMessageW(m_log.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_logFont.Get()), TRUE);
}

// The start-up sequence, in its fixed order.
void MainWindow::Load()
{
    const std::wstring title = GetAppTitle();
    ::SetWindowTextW(m_window, title.c_str());

    const VersionInfo version = ReadOwnVersionInfo();
    SetMenuText(m_popupMenu.Get(), kMenuVerNo,
                VersionMenuText(ExecutableBaseName(), version.companyName));

    m_twipsPerPixelX = TwipsPerPixel(m_dotsPerInch);
    m_twipsPerPixelY = m_twipsPerPixelX;

    RECT window{};
    ::GetWindowRect(m_window, &window);
    DefaultGeometry geometry;
    geometry.screenWidth = ::GetSystemMetrics(SM_CXSCREEN) * m_twipsPerPixelX;
    geometry.screenHeight = ::GetSystemMetrics(SM_CYSCREEN) * m_twipsPerPixelY;
    geometry.windowWidth = (window.right - window.left) * m_twipsPerPixelX;
    geometry.windowHeight = (window.bottom - window.top) * m_twipsPerPixelY;
    m_settings = ConfDefault(geometry);
    ReadConf(m_conf, m_settings);
    ApplyGeometry();
    ::CheckMenuItem(m_menuBar, kMenuDispTop,
                    MF_BYCOMMAND | (m_settings.DispTop != 0 ? MF_CHECKED : MF_UNCHECKED));

    ApplyKeyLabels(ShowKeyLabels(m_settings));

    m_captureLog.emplace(m_log, m_settings);
    m_captureLog->ShowIntroduction();

    if (m_settings.TaskTray == 1)
    {
        DispMsg(m_instance, StartMessageText(), kStartMessageDurationMs, true,
                m_settings.CustomMsg);
        TrayIconSet();
    }
    if (m_settings.AddCopy == 1)
    {
        m_copyCapture->Start();
    }
    m_hotKeys->Register(m_settings, true);
    SetTopMost(m_settings.DispTop == 1);
    Layout();
    ::SetTimer(m_window, kTimerKey, kTimerInterval, nullptr);
}

// The shutdown sequence: every step runs, whatever an earlier one did, so that the settings
// are always saved.
void MainWindow::Unload()
{
    if (m_unloaded)
    {
        return;
    }
    m_unloaded = true;
    m_hotKeys->Unregister();
    if (m_settings.AddCopy == 1)
    {
        m_copyCapture->End();
    }
    ::SetTimer(m_window, kTimerEnd, kTimerInterval, nullptr);
    CloseSettingsDialog();
    WriteConf(m_conf, m_settings, CurrentGeometry());
    // No dead icon is left in the notification area.
    m_tray.Delete();
}

void MainWindow::ApplyGeometry()
{
    ::SetWindowPos(m_window, nullptr, ToPixel(m_settings.FormLeft, m_twipsPerPixelX),
                   ToPixel(m_settings.FormTop, m_twipsPerPixelY),
                   ToPixel(m_settings.FormWidth, m_twipsPerPixelX),
                   ToPixel(m_settings.FormHeight, m_twipsPerPixelY), SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowGeometry MainWindow::CurrentGeometry() const
{
    RECT rect{};
    if (::IsIconic(m_window))
    {
        // A minimized window reports a parking position far off screen; store where it will
        // come back instead, so the next start does not open as a sliver.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        ::GetWindowPlacement(m_window, &placement);
        rect = placement.rcNormalPosition;
    }
    else
    {
        ::GetWindowRect(m_window, &rect);
    }
    return WindowGeometry{rect.left * m_twipsPerPixelX, rect.top * m_twipsPerPixelY,
                          (rect.right - rect.left) * m_twipsPerPixelX,
                          (rect.bottom - rect.top) * m_twipsPerPixelY};
}

// The window moved to a monitor of another scaling: new twips per pixel, fonts and layout.
void MainWindow::OnDpiChanged(int dotsPerInch, const RECT& suggested)
{
    m_dotsPerInch = dotsPerInch > 0 ? dotsPerInch : 96;
    m_twipsPerPixelX = TwipsPerPixel(m_dotsPerInch);
    m_twipsPerPixelY = m_twipsPerPixelX;
    ApplyFonts();
    ::SetWindowPos(m_window, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

void MainWindow::OnCommand(int id)
{
    switch (id)
    {
    case kMenuGo:
        MnuGoClick();
        break;
    case kMenuDispTop:
        MnuDispTopClick();
        break;
    case kMenuClear:
    case kMenuPopupClear:
        MnuClearClick();
        break;
    case kMenuHelp:
    case kMenuHelp2:
        MnuHelpClick();
        break;
    case kMenuHelpHotKey:
        MnuHelpHotKeyClick();
        break;
    case kMenuSetting:
    case kMenuDisp2:
        MnuSettingClick();
        break;
    case kMenuTrayOut:
        MnuTrayOutClick();
        break;
    case kMenuEnd2:
        MnuEnd2Click();
        break;
    default:
        break;
    }
}

void MainWindow::RunHotKeyCommand(HotKeyCommand command)
{
    switch (command)
    {
    case HotKeyCommand::GetName:
        KeyGetName();
        break;
    case HotKeyCommand::GetValue:
        KeyGetValue();
        break;
    case HotKeyCommand::Crlf:
        m_captureLog->KeyCrlf();
        break;
    case HotKeyCommand::Back:
        m_captureLog->KeyBack();
        break;
    case HotKeyCommand::Stop:
        KeyStop();
        break;
    }
}

void MainWindow::KeyGetName()
{
    POINT pointer{};
    ::GetCursorPos(&pointer);
    if (!IsOverMainWindow(pointer))
    {
        m_captureLog->GetDt(GetPointText(0));
    }
}

void MainWindow::KeyGetValue()
{
    POINT pointer{};
    ::GetCursorPos(&pointer);
    if (!IsOverMainWindow(pointer))
    {
        m_captureLog->GetDt(GetPointText(1));
    }
}

std::wstring MainWindow::GetPointText(int target) const
{
    POINT pointer{};
    ::GetCursorPos(&pointer);
    std::wstring name = GetAccNameAt(pointer);
    std::wstring value = GetAccValueAt(pointer);
    return target == 0 ? name : value;
}

bool MainWindow::IsOverMainWindow(POINT screen) const
{
    return IsOverWindow(screen, m_window);
}

void MainWindow::OnPreviewTick()
{
    PreviewTick(m_window, m_previewName, m_previewValue);
}

void MainWindow::KeyStop()
{
    MnuGoClick();
}

void MainWindow::MnuGoClick()
{
    if (const auto run = RunFromCaption(MenuText(m_menuBar, kMenuGo)))
    {
        SetRunState(*run);
    }
}

bool MainWindow::IsRunning() const
{
    return IsRunningCaption(MenuText(m_menuBar, kMenuGo));
}

void MainWindow::SetRunState(bool run)
{
    if (run)
    {
        ::SetTimer(m_window, kTimerKey, kTimerInterval, nullptr);
    }
    else
    {
        // The preview boxes keep their last text.
        ::KillTimer(m_window, kTimerKey);
    }
    SetMenuText(m_menuBar, kMenuGo, std::wstring(CaptionFor(run)));
    ::DrawMenuBar(m_window);
    SetLogBackground(run ? ::GetSysColor(COLOR_INFOBK) : kStoppedBackground);
    if (run)
    {
        m_captureLog->RefreshIntroduction();
    }
    m_hotKeys->Unregister();
    m_hotKeys->Register(m_settings, run);
}

void MainWindow::MnuDispTopClick()
{
    const bool checked = (::GetMenuState(m_menuBar, kMenuDispTop, MF_BYCOMMAND) & MF_CHECKED) != 0;
    ::CheckMenuItem(m_menuBar, kMenuDispTop, MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED));
    m_settings.DispTop = checked ? 0 : 1;
    SetTopMost(m_settings.DispTop == 1);
}

void MainWindow::SetTopMost(bool topMost)
{
    ::SetWindowPos(m_window, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::MnuClearClick()
{
    Win32Clipboard clipboard(m_window);
    Win32MessagePump pump;
    m_captureLog->ClearAll(clipboard, pump, m_previewName, m_previewValue);
}

void MainWindow::MnuHelpHotKeyClick()
{
    const std::wstring text = HotKeyHelpText(m_settings);
    ::MessageBoxW(m_window, text.c_str(), kHotKeyHelpTitle, MB_OK);
}

// The help page ships beside the executable and opens in the system's browser.
void MainWindow::MnuHelpClick()
{
    const std::wstring page = ExecutableDirectory() + L"\\" + kHelpPageName;
    ::ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Opens the settings dialog: the main window is inert and no hotkey is registered while it is
// open (copy capture goes on). When it closes, whichever way, OnSettingsDialogClosed applies
// everything it may have changed.
void MainWindow::MnuSettingClick()
{
    if (m_settingsDialog && m_settingsDialog->IsOpen())
    {
        m_settingsDialog->BringToFront();
        return;
    }
    m_settingsDialog = std::make_unique<SettingsDialog>(
        m_instance, m_window, m_settings, [this](DialogClose how) { OnSettingsDialogClosed(how); });
    if (!m_settingsDialog->Open())
    {
        m_settingsDialog.reset();
        return;
    }
    ::EnableWindow(m_window, FALSE);
    BeforeSettingsDialog(*m_hotKeys);
}

// Runs while the dialog's window still exists: re-applies in the fixed order (the viewer
// leaves and rejoins before the hotkeys come back), then enables the main window, so that the
// system hands the activation back to it when the dialog goes.
void MainWindow::OnSettingsDialogClosed(DialogClose how)
{
    if (how != DialogClose::Shutdown)
    {
        ReapplySettings();
    }
    ::EnableWindow(m_window, TRUE);
}

bool MainWindow::TranslateDialogMessage(MSG& message)
{
    return m_settingsDialog && m_settingsDialog->TranslateDialogMessage(message);
}

void MainWindow::ReapplySettings()
{
    AfterSettingsDialog(*m_copyCapture, *m_hotKeys, m_settings, IsRunning(), *m_captureLog,
                        [this](const KeyLabels& labels) { ApplyKeyLabels(labels); });
}

void MainWindow::ApplyKeyLabels(const KeyLabels& labels)
{
    ::SetWindowTextW(m_lblKeyName, labels.name.c_str());
    ::SetWindowTextW(m_lblKeyValue, labels.value.c_str());
}

// At shutdown: the dialog goes without applying what it shows.
void MainWindow::CloseSettingsDialog()
{
    if (m_settingsDialog)
    {
        m_settingsDialog->Close();
    }
}

// Start-up in the tray: the icon takes the window's place. When the shell refuses the icon
// the window stays on screen, since a program with neither would be out of reach.
void MainWindow::TrayIconSet()
{
    const auto icon = reinterpret_cast<HICON>(::GetClassLongPtrW(m_window, GCLP_HICONSM));
    if (m_tray.Add(m_window, icon, GetAppTitle()))
    {
        m_hiddenInTray = true;
        ::ShowWindow(m_window, SW_HIDE);
    }
}

void MainWindow::OnTrayMessage(UINT mouseEvent)
{
    switch (TrayActionFor(mouseEvent))
    {
    case TrayAction::OpenSettings:
        MnuSettingClick();
        break;
    case TrayAction::ShowPopupMenu:
        ShowPopupMenu();
        break;
    case TrayAction::None:
        break;
    }
}

void MainWindow::ShowPopupMenu()
{
    // The window must be in front for the menu to close when the user clicks elsewhere.
    ::SetForegroundWindow(m_window);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    ::TrackPopupMenu(m_popupMenu.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pointer.x, pointer.y, 0,
                     m_window, nullptr);
    ::PostMessageW(m_window, WM_NULL, 0, 0);
}

void MainWindow::MnuTrayOutClick()
{
    m_tray.Delete();
    m_settings.TaskTray = 0;
    m_hiddenInTray = false;
    ::ShowWindow(m_window, SW_SHOWNA);
}

// "終了" of the tray menu: the normal way out, settings saved.
void MainWindow::MnuEnd2Click()
{
    ::PostMessageW(m_window, WM_CLOSE, 0, 0);
}

void MainWindow::Layout()
{
    RECT client{};
    ::GetClientRect(m_window, &client);
    // The band's height is taken from the preview box's height before the box is sized, so
    // at scalings other than 100 % one pass leaves the band a few pixels short and the next
    // resize would make it jump. A second pass settles it at once.
    for (int pass = 0; pass < 2; ++pass)
    {
        m_layout =
            LayoutMainWindow(m_layout, client.right * m_twipsPerPixelX,
                             client.bottom * m_twipsPerPixelY, m_twipsPerPixelX, m_twipsPerPixelY);
    }
    PlaceControls();
    ::InvalidateRect(m_window, nullptr, TRUE);
}

RECT MainWindow::ToPixels(const ControlRect& rect) const
{
    const int left = ToPixel(rect.left, m_twipsPerPixelX);
    const int top = ToPixel(rect.top, m_twipsPerPixelY);
    return RECT{left, top, left + ToPixel(rect.width, m_twipsPerPixelX),
                top + ToPixel(rect.height, m_twipsPerPixelY)};
}

RECT MainWindow::ToPixels(const ControlRect& container, const ControlRect& control) const
{
    return ToPixels(ControlRect{container.left + control.left, container.top + control.top,
                                control.width, control.height});
}

void MainWindow::PlaceControls()
{
    const auto place = [this](HWND control, const ControlRect& container, const ControlRect& rect)
    {
        const RECT r = ToPixels(container, rect);
        ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const MainLayout& l = m_layout;
    place(m_lblName, l.frValue, l.lbl0);
    place(m_lblValue, l.frValue, l.lbl1);
    place(m_previewName.Handle(), l.frValue, l.txtDt0);
    place(m_previewValue.Handle(), l.frValue, l.txtDt1);
    place(m_lblKeyName, l.frKey, l.lblKeyName);
    place(m_lblKeyValue, l.frKey, l.lblKeyValue);
    place(m_log.Handle(), l.frDescription, l.txtDescription);
}

void MainWindow::Paint()
{
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_window, &paint);
    const auto fill = [dc](const RECT& rect, COLORREF colour)
    {
        UniqueBrush brush(::CreateSolidBrush(colour));
        ::FillRect(dc, &rect, brush.Get());
    };
    const MainLayout& l = m_layout;
    fill(ToPixels(l.frValue), kWhite);
    fill(ToPixels(l.frKey), kWhite);
    fill(ToPixels(l.frDescription), m_logBackground);
    fill(ToPixels(l.frValue, l.lblDt0), kPreviewNameBackground);
    fill(ToPixels(l.frValue, l.lblDt1), kPreviewValueBackground);
    ::EndPaint(m_window, &paint);
}

void MainWindow::SetLogBackground(COLORREF colour)
{
    m_logBackground = colour;
    m_log.SetBackground(colour);
    ::InvalidateRect(m_window, nullptr, TRUE);
}

HBRUSH MainWindow::OnControlColour(HDC dc, HWND control)
{
    if (control == m_log.Handle())
    {
        return m_log.PaintColours(dc);
    }
    if (control == m_previewName.Handle())
    {
        return m_previewName.PaintColours(dc);
    }
    if (control == m_previewValue.Handle())
    {
        return m_previewValue.PaintColours(dc);
    }
    ::SetTextColor(dc, kLabelGreen);
    ::SetBkColor(dc, kWhite);
    return m_whiteBrush.Get();
}

} // namespace mirufon::win32
