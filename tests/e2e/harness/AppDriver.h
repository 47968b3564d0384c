#pragma once

// What the tests do to the program's main window, as a user would: read its log and preview
// boxes, choose menu items with the keyboard, wait for its message boxes.

#include "e2e/harness/Harness.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/window/Dpi.h"
#include "support/JapaneseText.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e
{

// The text of a control of the main window.
std::wstring ControlText(HWND mainWindow, int id);
inline std::wstring LogText(HWND mainWindow)
{
    return ControlText(mainWindow, mirufon::win32::kIdLog);
}

// Waits until the control shows the expected text; on timeout the assertion shows both.
::testing::AssertionResult WaitForText(HWND mainWindow, int id, const std::wstring& expected,
                                       std::chrono::milliseconds timeout = 5s);
// Waits a while and checks that the control still shows the text: for keys that must do
// nothing.
::testing::AssertionResult StaysText(HWND mainWindow, int id, const std::wstring& expected,
                                     std::chrono::milliseconds period = 700ms);

// Polls the check until it passes or the timeout runs out; on timeout, the check's last
// failure, so that the message shows what was seen last.
::testing::AssertionResult Eventually(const std::function<::testing::AssertionResult()>& check,
                                      std::chrono::milliseconds timeout = 5s);
// Polls the check for the whole period and fails at its first failure: for what must not
// happen, or must not change, after an input whose effect would come later.
::testing::AssertionResult Throughout(const std::function<::testing::AssertionResult()>& check,
                                      std::chrono::milliseconds period = 700ms);

// Waits until every letter of taken is a registered global hotkey with the modifiers and no
// letter of free is. Probing a free combination registers it for a moment, which would make
// a registration by the program fail at that instant: call this only once the program is done
// registering (a window shown, a dialog gone, a repaint that follows the change).
::testing::AssertionResult WaitForHotkeys(UINT modifiers, std::wstring_view taken,
                                          std::wstring_view free,
                                          std::chrono::milliseconds timeout = 5s);

// Whether the thread of the window is in a menu's modal loop (menu bar or pop-up menu).
bool InMenuMode(HWND window);
// Whether a pop-up menu of the window's process is on screen (menu windows of earlier menus may
// linger hidden).
bool PopupMenuShown(HWND window);

// Activates the window by a click on its title bar.
bool Activate(HWND window);

// Chooses a menu item with the keyboard, as F10, arrows and Enter do: the item at position
// top of the menu bar, or the item at position sub of its drop-down menu. Returns once the
// program has left the menu, so that the command is on its way before anything posted later.
bool ChooseMenu(HWND mainWindow, int top, int sub = -1);

// A message box of the program: a dialog window with that title. Its message text is the
// static control with id 0xFFFF.
HWND WaitForMessageBox(const App& app, const std::wstring& title,
                       std::chrono::milliseconds timeout = 5s);
std::wstring MessageBoxText(HWND box);
// Presses the box's OK button (Enter) and waits until the box is gone.
bool DismissMessageBox(HWND box);

// Whether the window is kept above non-topmost windows.
bool IsTopMost(HWND window);

// What the screen shows at a point, and the pixels of the main window's menu bar (to tell
// whether its captions changed: menus of another process cannot be read directly).
COLORREF ScreenPixel(POINT screen);
std::vector<COLORREF> MenuBarPixels(HWND mainWindow);
// The menu bar's pixels once it shows its captions, read twice alike (empty after the timeout).
std::vector<COLORREF> DrawnMenuBar(HWND mainWindow, std::chrono::milliseconds timeout = 5s);
// The colour of the frame around the log (its 6-pixel margin), which shows the run state. The
// program paints it only once the command that changed the state is over, so the stopped grey,
// which nothing else paints there, also tells that the stop has settled its hotkeys.
COLORREF LogFrameColour(HWND mainWindow);
::testing::AssertionResult WaitForLogFrame(HWND mainWindow, COLORREF expected,
                                           std::chrono::milliseconds timeout = 5s);

// The screen's DPI as this (DPI-aware) driver sees it, the same figure the program uses.
using mirufon::win32::ScreenDpi;

// The labels, check boxes, buttons and frames among the window's children whose text does not
// fit them, as "text: needed/has pixels", measured with the program's label font at the
// screen's DPI (the driver speaks the program's language); empty when all fit.
std::vector<std::string> LabelsThatDoNotFit(HWND window);

using testsupport::HasJapanese;

// Saves a screenshot of the window into the artifact folder under the name (a .bmp).
void KeepScreenshot(HWND window, const std::wstring& name);

// Whether the text is the introduction for the given separator word, modifier and six key
// letters in command order (get name, get value, newline, cancel last, stop/resume, harvest):
// an opening line after a line break, the separator's line, and the keys' lines closing it,
// each starting with its key.
::testing::AssertionResult IsIntroduction(const std::wstring& text,
                                          const std::wstring& separatorWord,
                                          const std::wstring& modify, const std::wstring& keys);

} // namespace e2e
