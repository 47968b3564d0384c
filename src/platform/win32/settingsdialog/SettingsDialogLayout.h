#pragma once

#include "platform/win32/window/Handles.h"
#include "shell/Layout.h"
#include "text/UiText.h"

#include <cstdint>
#include <optional>

namespace mirufon::win32
{

// Where a control of the settings dialog stands: directly on the dialog, or inside one of its
// three frames (the borderless frame round "OK" and "Cancel" is only an offset, no window).
enum class Container
{
    Form,
    HotKeyFrame,
    OtherFrame,
    ButtonFrame,
};

enum class DialogFont
{
    Label,
    List,
};

// One row of the dialog's layout: a control, or a frame that holds others. Places are in twips
// relative to the container's client area.
struct ControlPlacement
{
    int id; // 0 for the button frame, which is no window
    const wchar_t* className;
    std::optional<UiText> text; // what it shows, if anything
    DWORD style;
    Container container; // where the row stands
    ControlRect rect;
    DialogFont font;
    Container frameOf; // the container this row is, Form for an ordinary control
    std::optional<UiText> tip = std::nullopt; // the tooltip, if the control has one
};

// The dialog's size in twips: the client area, and the outer width that is held whatever
// resizing is attempted.
constexpr std::int32_t kSettingsClientWidth = 4260;
constexpr std::int32_t kSettingsClientHeight = 5565;
constexpr std::int32_t kSettingsOuterWidth = 4350;

constexpr DWORD kSettingsDialogStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kSettingsDialogExStyle = WS_EX_CONTROLPARENT;

// The dialog's outer size in pixels at a scale (dots per inch), its caption and frame drawn at
// that scale around the client area.
SIZE SettingsDialogOuterSize(int dpi);

// Holds the outer width at its twips whatever resizing is attempted: while the user drags an
// edge (WM_SIZING, the edge dragged), and for any other resize (WM_WINDOWPOSCHANGING).
void HoldOuterWidth(WPARAM edge, RECT& rect, std::int32_t twipsPerPixel);
void HoldOuterWidth(WINDOWPOS& position, std::int32_t twipsPerPixel);

// Creates every control of the table in the dialog (frames last, at the bottom of the
// z-order, so that what they hold paints over them).
void CreateSettingsControls(HWND dialog, HINSTANCE instance);

// The tooltips of the controls that have one; the dialog works without them when the tooltip
// window cannot be created.
void CreateSettingsToolTips(HWND dialog, HINSTANCE instance);

// Gives every control its font and its place in pixels at a scaling.
void PlaceSettingsControls(HWND dialog, std::int32_t twipsPerPixel, HFONT labelFont,
                           HFONT listFont);

} // namespace mirufon::win32
