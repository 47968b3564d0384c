// The program's windows on a second monitor at 200 %, which Wine cannot show: its monitors all
// share one scale. The layout the windows ask for stands in that monitor just below them; the
// windows are real, placed where it would be.

#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/mainwindow/MainWindow.h"
#include "platform/win32/mainwindow/MessageWindow.h"
#include "platform/win32/settingsdialog/SettingsDialog.h"
#include "platform/win32/settingsdialog/SettingsDialogIds.h"
#include "platform/win32/settingsdialog/SettingsDialogLayout.h"
#include "platform/win32/window/Dpi.h"
#include "platform/win32/window/Fonts.h"
#include "shell/Layout.h"
#include "shell/TransientMessage.h"

#include <gtest/gtest.h>

namespace mirufon::win32
{
namespace
{

constexpr int kDpi = 192;

// The real screen, and right of it a monitor of 2560 x 1440 at 200 %.
class TwoMonitors final : public MonitorLayout
{
  public:
    DisplayAreas Displays() const override
    {
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int right = ::GetSystemMetrics(SM_CXSCREEN);
        return {{{ToPixelRect(work), ScreenDpi(), 30}, {{right, 0, right + 2560, 1440}, kDpi, 60}},
                ScreenDpi()};
    }
    // As Windows decides: the scale of the monitor holding most of the window.
    int WindowDpi(HWND window) const override
    {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        return MonitorHolding(Displays(), ToPixelRect(rect)).dpi;
    }
};

int IconWidth(HWND window, WPARAM kind)
{
    const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, kind, 0));
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
    {
        return 0;
    }
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

LONG FontHeight(HFONT font)
{
    LOGFONTW description{};
    ::GetObjectW(font, sizeof description, &description);
    return description.lfHeight;
}

// How far the window's centre lies from the centre of the area.
POINT OffCentre(HWND window, const PixelRect& area)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right - area.left - area.right) / 2,
                 (rect.top + rect.bottom - area.top - area.bottom) / 2};
}

// With the main window on the second monitor: placed there, it draws its controls and icons at
// that scale and reports it, so that Conf.txt gets its size in that monitor's twips; the settings
// dialog and the message window open centred there at that scale, the dialog's client area holding
// the whole layout, the buttons' row included.
TEST(SecondMonitorTest, WindowsThereTakeItsScale)
{
    const TwoMonitors monitors;
    const PixelRect area = monitors.Displays().monitors[1].workArea;
    MainWindow main(::GetModuleHandleW(nullptr), monitors);
    ASSERT_TRUE(main.Create());
    WindowFrame& mainFrame = main.Parts().frame;
    const WindowPixels placement{{area.left + 300, 200, area.left + 1212, 672}, kDpi};
    mainFrame.PlaceWindow(placement);
    EXPECT_EQ(mainFrame.CurrentPlacement(), placement);
    const HWND log = ::GetDlgItem(main.Handle(), kIdLog);
    EXPECT_EQ(FontHeight(reinterpret_cast<HFONT>(::SendMessageW(log, WM_GETFONT, 0, 0))),
              FontHeight(CreateProgramFont(FontRole::Text, kDpi).Get()));
    EXPECT_EQ(IconWidth(main.Handle(), ICON_SMALL), 32);

    Settings settings;
    SettingsDialog dialog(::GetModuleHandleW(nullptr), main.Handle(), settings, {}, monitors);
    ASSERT_TRUE(dialog.Open());
    EXPECT_NEAR(OffCentre(dialog.Handle(), area).x, 0, 1);
    EXPECT_NEAR(OffCentre(dialog.Handle(), area).y, 0, 1);
    RECT outer{};
    ::GetWindowRect(dialog.Handle(), &outer);
    RECT frame{};
    ::AdjustWindowRectExForDpi(&frame, kSettingsDialogStyle, FALSE, kSettingsDialogExStyle, kDpi);
    RECT ok{};
    ::GetWindowRect(::GetDlgItem(dialog.Handle(), kIdSettingsOk), &ok);
    ::MapWindowPoints(nullptr, dialog.Handle(), reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_GE((outer.bottom - outer.top) - (frame.bottom - frame.top), ok.bottom)
        << "the bottom row is cut";
    EXPECT_EQ(IconWidth(dialog.Handle(), ICON_SMALL), 32) << "a 16 pixel icon stretched";
    EXPECT_EQ(IconWidth(dialog.Handle(), ICON_BIG), 64);

    MessageWindow message(
        ::GetModuleHandleW(nullptr), [] {}, monitors);
    ASSERT_TRUE(message.Show(L"a\r\nb", 0, main.Handle()));
    EXPECT_NEAR(OffCentre(message.Handle(), area).x, 0, 1);
    RECT rect{};
    ::GetWindowRect(message.Handle(), &rect);
    EXPECT_EQ(rect.right - rect.left, ToPixels(kMessageWindowWidth, TwipsPerPixel(kDpi)));
}

} // namespace
} // namespace mirufon::win32
