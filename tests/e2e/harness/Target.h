#pragma once

// A window of the driver's own that the program under test reads: a top-level window with a
// button, an edit box and a label whose accessible names and values are known in advance.
//
// The window lives on a thread of its own in the driver, which does nothing but serve it. When
// the program reads it (AccessibleObjectFromPoint and the property reads that follow), the
// accessibility layer sends window messages from the program's process to that thread
// (WM_GETOBJECT, WM_NCHITTEST, WM_GETTEXT), and the program gives up on a read that is not
// answered in time, as it would on a program that has stopped responding. On its own thread
// the window answers at once, whatever the driver's main thread is busy with.

#include "e2e/harness/Harness.h"
#include "support/WindowThread.h"

#include <atomic>
#include <string>
#include <vector>

namespace e2e
{

class TargetWindow
{
  public:
    // Chosen so that the window stays clear of the program's main window, which opens centred
    // on a 1280x800 screen at 96 DPI (about 445 x 270 pixels, from 417,265 to 862,535), and
    // of it on other screens as OnThisScreen moves it.
    static constexpr POINT kDefaultPosition{870, 30};
    static constexpr SIZE kDefaultSize{400, 260};

    // The button's caption mixes Japanese, ASCII and a character that code page 932 lacks (the
    // euro sign), so a read that goes through the ANSI code page shows up as a wrong text.
    static constexpr const wchar_t* kButtonCaption = L"保存 Save Ω€";
    static constexpr const wchar_t* kEditValue = L"値 value 123";
    static constexpr const wchar_t* kLabelText = L"label";
    static constexpr const wchar_t* kCaption = L"ミルフォン E2E target";

    // Creates the window on the calling thread, shows it topmost at position (screen
    // coordinates of its outer frame) with the given outer size, and brings it to the front.
    explicit TargetWindow(POINT position = OnThisScreen(kDefaultPosition),
                          SIZE size = kDefaultSize);
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;
    ~TargetWindow();

    HWND Handle() const { return m_window; }
    HWND Button() const { return m_button; }
    HWND Edit() const { return m_edit; }
    HWND Label() const { return m_label; }
    std::wstring ButtonCaption() const { return kButtonCaption; }
    std::wstring EditValue() const { return kEditValue; }

    // Centres of the controls in screen coordinates, read from where they are now.
    POINT ButtonCentre() const;
    POINT EditCentre() const;
    POINT LabelCentre() const;
    // A point of the window's own client area that no control covers.
    POINT BlankPoint() const;

    // The control with the keyboard focus on the window's thread, if any.
    HWND Focus() const;

    // Foreground, keyboard focus to the window and above every other window, topmost ones
    // included (another topmost window may have come up since).
    void BringToFront();
    // Topmost on or off, without moving or activating the window.
    void SetTopmost(bool topmost);

    // What the window has seen of the user's input since it was created.
    int ButtonClicks() const { return m_buttonClicks; }
    int LabelClicks() const { return m_labelClicks; }
    int LabelDoubleClicks() const { return m_labelDoubleClicks; }
    // WM_CONTEXTMENU from a right click anywhere in the window, controls included.
    int ContextMenus() const { return m_contextMenus; }
    // WM_MOUSEMOVE over the window's own client area, and the client point of the last one.
    int MouseMoves() const { return m_mouseMoves; }
    POINT LastMouseMove() const;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // On the window's thread: the window and its controls.
    std::vector<HWND> Build(POINT position, SIZE size);

    std::atomic<HWND> m_window{nullptr};
    HWND m_button = nullptr;
    HWND m_edit = nullptr;
    HWND m_label = nullptr;
    std::atomic<int> m_buttonClicks{0};
    std::atomic<int> m_labelClicks{0};
    std::atomic<int> m_labelDoubleClicks{0};
    std::atomic<int> m_contextMenus{0};
    std::atomic<int> m_mouseMoves{0};
    std::atomic<LPARAM> m_lastMouseMove{-1};
    // Last: the thread ends before the members its window writes.
    testsupport::WindowThread m_thread;
};

} // namespace e2e
