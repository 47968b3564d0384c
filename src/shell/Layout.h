#pragma once

#include <cstdint>

namespace mirufon
{

// The main window's client area as created, in twips (437 x 236 pixels at 15 twips per pixel).
constexpr std::int32_t kCreatedClientWidth = 6555;
constexpr std::int32_t kCreatedClientHeight = 3540;

// Twips per pixel at 96 dots per inch, used when the screen reports no usable resolution.
constexpr std::int32_t kDefaultTwipsPerPixel = 15;

// A control's place in twips, relative to its container's client area.
struct ControlRect
{
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;

    friend bool operator==(const ControlRect&, const ControlRect&) = default;
};

// The main window's controls that the layout moves, sizes or reads, each starting at its place
// as created. The labels lbl, lblDt and the boxes txtDt sit inside previewBand; nameKeyLabel and
// valueKeyLabel inside keyBand; logBox inside logFrame; previewBand, keyBand and
// logFrame sit directly in the window.
struct MainLayout
{
    ControlRect previewBand{150, 30, 5205, 495};
    ControlRect nameCaption{0, 0, 960, 255};
    ControlRect valueCaption{0, 255, 960, 255};
    ControlRect nameStrip{780, -30, 1455, 285};
    ControlRect valueStrip{840, 240, 1455, 285};
    ControlRect nameBox{1110, 30, 3510, 225};
    ControlRect valueBox{1080, 240, 3510, 240};
    ControlRect keyBand{5370, 30, 1155, 495};
    ControlRect nameKeyLabel{30, 0, 1050, 255};
    ControlRect valueKeyLabel{30, 255, 1050, 255};
    ControlRect logFrame{120, 720, 4275, 1935};
    ControlRect logBox{390, 540, 3225, 975};

    friend bool operator==(const MainLayout&, const MainLayout&) = default;
};

// Places the controls for a client area of the given size (twips). Starting from `current`,
// the rules run in a fixed order and each reads what the earlier ones produced, including
// values a previous layout left behind. A width or height that would come out negative (or
// beyond 32 bits) is not applied: that control keeps its previous value and the remaining
// rules still run, as the window system refuses such sizes when the window is tiny or
// minimized. Lefts and tops may be negative.
MainLayout LayoutMainWindow(const MainLayout& current, std::int32_t clientWidth,
                            std::int32_t clientHeight, std::int32_t twipsPerPixelX,
                            std::int32_t twipsPerPixelY);

// Twips per pixel for a screen resolution: 1440 / dpi rounded to the nearest integer, a half
// to the even neighbour (192 dpi gives 7.5, hence 8). A resolution of 0 or less gives 15; a
// resolution so fine that the quotient rounds to 0 gives 1.
std::int32_t TwipsPerPixel(int dotsPerInch);

} // namespace mirufon
