#include "platform/win32/MainWindow.h"

#include "platform/win32/ControlIds.h"
#include "shell/AppInfo.h"

#include <cmath>

namespace mirufon::win32
{
namespace
{

constexpr COLORREF kLabelGreen = RGB(0, 128, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPreviewNameBackground = RGB(232, 240, 255);
constexpr COLORREF kPreviewValueBackground = RGB(224, 255, 255);
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

std::int32_t ToPixel(std::int32_t twips, std::int32_t twipsPerPixel)
{
    return static_cast<std::int32_t>(
        std::lround(static_cast<double>(twips) / static_cast<double>(twipsPerPixel)));
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                 int id, HINSTANCE instance)
{
    return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                             nullptr);
}

// A 9.75 point font of the Japanese character set. Where the named face is missing, the font
// mapper picks a face of that character set, so Japanese text still shows.
UniqueFont CreateJapaneseFont(const wchar_t* face, int dotsPerInch)
{
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(975, dotsPerInch, 7200);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&font));
}

int ScreenDotsPerInch()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
    {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
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
    windowClass.hIcon = ::LoadIconW(m_instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(::LoadImageW(m_instance, MAKEINTRESOURCEW(1),
                                                          IMAGE_ICON, 16, 16, 0));
    ::RegisterClassExW(&windowClass);

    // The window as created: its client area is 6555 x 3540 twips.
    m_twipsPerPixelX = TwipsPerPixel(ScreenDotsPerInch());
    m_twipsPerPixelY = m_twipsPerPixelX;
    RECT outer{0, 0, ToPixel(kCreatedClientWidth, m_twipsPerPixelX),
               ToPixel(kCreatedClientHeight, m_twipsPerPixelY)};
    ::AdjustWindowRectEx(&outer, kMainStyle, FALSE, 0);

    m_window = ::CreateWindowExW(0, kMainWindowClass, L"", kMainStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, outer.right - outer.left,
                                 outer.bottom - outer.top, nullptr, nullptr, m_instance, this);
    if (!m_window)
    {
        return false;
    }
    Load();
    ::ShowWindow(m_window, SW_SHOW);
    ::UpdateWindow(m_window);
    return true;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE)
    {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY)
    {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message)
    {
    case WM_CREATE:
        CreateFonts();
        CreateControls();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
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

void MainWindow::CreateFonts()
{
    const int dpi = ScreenDotsPerInch();
    m_uiFont = CreateJapaneseFont(L"ＭＳ Ｐゴシック", dpi);
    m_logFont = CreateJapaneseFont(L"ＭＳ ゴシック", dpi);
}

void MainWindow::CreateControls()
{
    m_lblName = CreateChild(m_window, L"STATIC", L"accName:", SS_LEFT | SS_NOPREFIX, 0,
                            m_instance);
    m_lblValue = CreateChild(m_window, L"STATIC", L"accValue:", SS_LEFT | SS_NOPREFIX, 0,
                             m_instance);
    m_previewName.Attach(CreateChild(m_window, L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY,
                                     kIdPreviewName, m_instance));
    m_previewValue.Attach(CreateChild(m_window, L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY,
                                      kIdPreviewValue, m_instance));
    m_previewName.SetBackground(kPreviewNameBackground);
    m_previewValue.SetBackground(kPreviewValueBackground);
    m_lblKeyName = CreateChild(m_window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kIdKeyName,
                               m_instance);
    m_lblKeyValue = CreateChild(m_window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kIdKeyValue,
                                m_instance);
    m_log.Attach(CreateChild(m_window, L"EDIT", L"",
                             ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN |
                                 ES_NOHIDESEL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                             kIdLog, m_instance));
    LiftTextLimit(m_log.Handle());
    m_logBackground = ::GetSysColor(COLOR_INFOBK);
    m_log.SetBackground(m_logBackground);

    for (HWND control : {m_lblName, m_lblValue, m_previewName.Handle(), m_previewValue.Handle(),
                         m_lblKeyName, m_lblKeyValue})
    {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_uiFont.Get()), FALSE);
    }
    ::SendMessageW(m_log.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_logFont.Get()), FALSE);
}

// The start-up sequence, in its fixed order.
void MainWindow::Load()
{
    const std::wstring title = GetAppTitle();
    ::SetWindowTextW(m_window, title.c_str());

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

    const KeyLabels labels = ShowKeyLabels(m_settings);
    ::SetWindowTextW(m_lblKeyName, labels.name.c_str());
    ::SetWindowTextW(m_lblKeyValue, labels.value.c_str());

    m_captureLog = std::make_unique<CaptureLog>(m_log, m_settings);
    m_captureLog->ShowIntroduction();
    Layout();
}

// The shutdown sequence: every step runs, whatever an earlier one did.
void MainWindow::Unload()
{
    if (m_unloaded)
    {
        return;
    }
    m_unloaded = true;
    WriteConf(m_conf, m_settings, CurrentGeometry());
}

void MainWindow::ApplyGeometry()
{
    ::SetWindowPos(m_window, nullptr, ToPixel(m_settings.FormLeft, m_twipsPerPixelX),
                   ToPixel(m_settings.FormTop, m_twipsPerPixelY),
                   ToPixel(m_settings.FormWidth, m_twipsPerPixelX),
                   ToPixel(m_settings.FormHeight, m_twipsPerPixelY),
                   SWP_NOZORDER | SWP_NOACTIVATE);
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

void MainWindow::Layout()
{
    RECT client{};
    ::GetClientRect(m_window, &client);
    m_layout = LayoutMainWindow(m_layout, client.right * m_twipsPerPixelX,
                                client.bottom * m_twipsPerPixelY, m_twipsPerPixelX,
                                m_twipsPerPixelY);
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
    const auto place = [this](HWND control, const ControlRect& container,
                              const ControlRect& rect) {
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
    const auto fill = [dc](const RECT& rect, COLORREF colour) {
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
