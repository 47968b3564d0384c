#include "platform/win32/PointerReading.h"

#include "platform/win32/Accessibility.h"

namespace mirufon::win32
{
namespace
{

void SetIfChanged(TextBox& box, const std::wstring& text)
{
    if (box.Text() != text)
    {
        box.SetText(text);
    }
}

} // namespace

bool IsOverWindow(POINT screen, HWND topLevel)
{
    HWND under = ::WindowFromPoint(screen);
    return under && ::GetAncestor(under, GA_ROOT) == topLevel;
}

void PreviewTick(HWND mainWindow, TextBox& nameBox, TextBox& valueBox)
{
    POINT pointer{};
    ::GetCursorPos(&pointer);
    if (IsOverWindow(pointer, mainWindow))
    {
        SetIfChanged(nameBox, L"");
        SetIfChanged(valueBox, L"");
        return;
    }
    SetIfChanged(nameBox, GetAccNameAt(pointer));
    SetIfChanged(valueBox, GetAccValueAt(pointer));
}

std::optional<std::wstring> Win32PointerText::ReadUnderPointer(PointTarget target)
{
    POINT pointer{};
    ::GetCursorPos(&pointer);
    if (IsOverWindow(pointer, m_mainWindow))
    {
        return std::nullopt;
    }
    // Both are read, name first, as the preview does.
    std::wstring name = GetAccNameAt(pointer);
    std::wstring value = GetAccValueAt(pointer);
    return target == PointTarget::Name ? name : value;
}

} // namespace mirufon::win32
