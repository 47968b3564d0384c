#pragma once

#include "platform/TextBox.h"
#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// A TextBox over an EDIT control. Edits go through EM_REPLACESEL at the end of the text and
// reads of a few characters go through the control's own buffer, so appending to or cutting
// the end of a long log never copies the whole text.
class Win32TextBox final : public TextBox
{
  public:
    Win32TextBox() = default;
    explicit Win32TextBox(HWND edit) : m_edit(edit) {}

    void Attach(HWND edit) { m_edit = edit; }
    HWND Handle() const { return m_edit; }

    std::size_t Length() const override;
    std::wstring Slice(std::size_t from, std::size_t count) const override;
    std::wstring Text() const override;
    void SetText(std::wstring_view text) override;
    void Append(std::wstring_view text) override;
    void Truncate(std::size_t length) override;
    void SetTextColor(Rgb colour) override;
    void SelectAll() override;
    void Focus() override;

    void SetBackground(COLORREF colour);
    // Whether SetText leaves the caret at the end (the log) or at the start (a preview, which
    // shows the beginning of a long text).
    void SetCaretToEndOnSet(bool toEnd) { m_caretToEndOnSet = toEnd; }
    // Answers WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC for this control.
    HBRUSH PaintColours(HDC dc) const;

  private:
    void CaretToEnd() const;
    bool CaretIsAtEnd() const;

    HWND m_edit = nullptr;
    bool m_caretToEndOnSet = true;
    COLORREF m_text = RGB(0, 0, 0);
    COLORREF m_background = RGB(255, 255, 255);
    UniqueBrush m_brush{::CreateSolidBrush(RGB(255, 255, 255))};
};

// Makes a multi-line EDIT hold any length of text (it stops at 32,767 characters otherwise).
void LiftTextLimit(HWND edit);

} // namespace mirufon::win32
