#include "platform/win32/mainwindow/MainControls.h"

#include "hotkeys/KeyChords.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/window/Dpi.h"
#include "platform/win32/window/Fonts.h"
#include "text/UiText.h"

#include <utility>

namespace mirufon::win32
{
namespace
{

constexpr COLORREF kLabelGreen = RGB(0, 128, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kNameBoxBackground = RGB(232, 240, 255);
constexpr COLORREF kValueBoxBackground = RGB(224, 255, 255);
constexpr COLORREF kStoppedBackground = RGB(248, 248, 248);

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
                 HINSTANCE instance)
{
    return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

} // namespace

MainControls::MainControls(HINSTANCE instance, int dotsPerInch)
    : m_instance(instance), m_dpi(dotsPerInch), m_twipsPerPixel(mirufon::TwipsPerPixel(m_dpi)),
      m_whiteBrush(::CreateSolidBrush(kWhite))
{
}

bool MainControls::Create(HWND window, std::function<void()> onSelectAll,
                          std::function<void(LPARAM)> onContextMenu, DWORD& error)
{
    m_window = window;
    // Each control only while every one before it was made; the first failure's error stays.
    bool made = true;
    const auto child = [&](const wchar_t* className, const wchar_t* text, DWORD style, int id)
    {
        HWND control = made ? CreateChild(window, className, text, style, id, m_instance) : nullptr;
        if (made && !control)
        {
            error = ::GetLastError();
            made = false;
        }
        return control;
    };
    m_nameCaption = child(L"STATIC", std::wstring(Text(UiText::NameLabel)).c_str(),
                          SS_LEFT | SS_NOPREFIX, kIdLabelName);
    m_valueCaption = child(L"STATIC", std::wstring(Text(UiText::ValueLabel)).c_str(),
                           SS_LEFT | SS_NOPREFIX, kIdLabelValue);
    m_nameBox.Attach(child(L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY, kIdPreviewName));
    m_valueBox.Attach(child(L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY, kIdPreviewValue));
    m_nameKeyLabel = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kIdKeyName);
    m_valueKeyLabel = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kIdKeyValue);
    m_log.Attach(child(L"EDIT", L"",
                       ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN |
                           ES_NOHIDESEL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                       kIdLog));
    if (!made)
    {
        return false;
    }
    m_nameBox.SetBackground(kNameBoxBackground);
    m_valueBox.SetBackground(kValueBoxBackground);
    // A preview shows the beginning of a long text, not its end.
    m_nameBox.SetCaretToEndOnSet(false);
    m_valueBox.SetCaretToEndOnSet(false);
    LiftTextLimit(m_log.Handle());
    m_log.SetTextColor(kIntroTextColour);
    ShowRunState(true);
    // Ctrl+A (and only Ctrl+A) selects the whole log; the key goes on to the control either way.
    // The context menu is the program's own, with the log's save command.
    m_logKeys = std::make_unique<ControlSubclass>(
        m_log.Handle(),
        [onSelectAll = std::move(onSelectAll), onContextMenu = std::move(onContextMenu)](
            HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT>
        {
            if (message == WM_CONTEXTMENU && onContextMenu)
            {
                onContextMenu(lParam);
                return 0;
            }
            if (message == WM_KEYDOWN &&
                IsSelectAllChord(static_cast<int>(wParam), IsKeyDown(VK_SHIFT),
                                 IsKeyDown(VK_CONTROL), IsKeyDown(VK_MENU)) &&
                onSelectAll)
            {
                onSelectAll();
            }
            return std::nullopt;
        });
    ApplyFonts();
    return true;
}

void MainControls::SetDpi(int dotsPerInch)
{
    m_dpi = dotsPerInch > 0 ? dotsPerInch : 96;
    m_twipsPerPixel = mirufon::TwipsPerPixel(m_dpi);
    ApplyFonts();
}

// The controls are given the new fonts before the old ones are deleted: a control must never
// hold a font that is gone.
void MainControls::ApplyFonts()
{
    UniqueFont uiFont = CreateProgramFont(FontRole::Label, m_dpi);
    UniqueFont logFont = CreateProgramFont(FontRole::Text, m_dpi);
    for (HWND control : {m_nameCaption, m_valueCaption, m_nameBox.Handle(), m_valueBox.Handle(),
                         m_nameKeyLabel, m_valueKeyLabel})
    {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont.Get()), TRUE);
    }
    ::SendMessageW(m_log.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(logFont.Get()), TRUE);
    m_uiFont = std::move(uiFont);
    m_logFont = std::move(logFont);
}

void MainControls::ShowKeyLabels(const KeyLabels& labels)
{
    ::SetWindowTextW(m_nameKeyLabel, labels.name.c_str());
    ::SetWindowTextW(m_valueKeyLabel, labels.value.c_str());
}

void MainControls::ShowRunState(bool running)
{
    m_logBackground = running ? ::GetSysColor(COLOR_INFOBK) : kStoppedBackground;
    m_log.SetBackground(m_logBackground);
    ::InvalidateRect(m_window, nullptr, TRUE);
}

void MainControls::LayOut()
{
    RECT client{};
    ::GetClientRect(m_window, &client);
    // The band's height is taken from the preview box's height before the box is sized, so
    // at scalings other than 100 % one pass leaves the band a few pixels short and the next
    // resize would make it jump. A second pass settles it at once.
    for (int pass = 0; pass < 2; ++pass)
    {
        m_layout =
            LayoutMainWindow(m_layout, client.right * m_twipsPerPixel,
                             client.bottom * m_twipsPerPixel, m_twipsPerPixel, m_twipsPerPixel);
    }
    const auto place = [this](HWND control, const ControlRect& container, const ControlRect& rect)
    {
        const RECT r = ToPixelRect(container, rect);
        ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const MainLayout& l = m_layout;
    place(m_nameCaption, l.previewBand, l.nameCaption);
    place(m_valueCaption, l.previewBand, l.valueCaption);
    place(m_nameBox.Handle(), l.previewBand, l.nameBox);
    place(m_valueBox.Handle(), l.previewBand, l.valueBox);
    place(m_nameKeyLabel, l.keyBand, l.nameKeyLabel);
    place(m_valueKeyLabel, l.keyBand, l.valueKeyLabel);
    place(m_log.Handle(), l.logFrame, l.logBox);
    ::InvalidateRect(m_window, nullptr, TRUE);
}

RECT MainControls::ToPixelRect(const ControlRect& rect) const
{
    const int left = ToPixels(rect.left, m_twipsPerPixel);
    const int top = ToPixels(rect.top, m_twipsPerPixel);
    return RECT{left, top, left + ToPixels(rect.width, m_twipsPerPixel),
                top + ToPixels(rect.height, m_twipsPerPixel)};
}

RECT MainControls::ToPixelRect(const ControlRect& container, const ControlRect& control) const
{
    return ToPixelRect(ControlRect{container.left + control.left, container.top + control.top,
                                   control.width, control.height});
}

void MainControls::Paint()
{
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_window, &paint);
    const auto fill = [dc](const RECT& rect, COLORREF colour)
    {
        UniqueBrush brush(::CreateSolidBrush(colour));
        ::FillRect(dc, &rect, brush.Get());
    };
    const MainLayout& l = m_layout;
    fill(ToPixelRect(l.previewBand), kWhite);
    fill(ToPixelRect(l.keyBand), kWhite);
    fill(ToPixelRect(l.logFrame), m_logBackground);
    fill(ToPixelRect(l.previewBand, l.nameStrip), kNameBoxBackground);
    fill(ToPixelRect(l.previewBand, l.valueStrip), kValueBoxBackground);
    ::EndPaint(m_window, &paint);
}

HBRUSH MainControls::ControlColours(HDC dc, HWND control)
{
    for (Win32TextBox* box : {&m_log, &m_nameBox, &m_valueBox})
    {
        if (control == box->Handle())
        {
            return box->PaintColours(dc);
        }
    }
    ::SetTextColor(dc, kLabelGreen);
    ::SetBkColor(dc, kWhite);
    return m_whiteBrush.Get();
}

} // namespace mirufon::win32
