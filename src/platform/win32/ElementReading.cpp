#include "platform/win32/ElementReading.h"

#include "platform/win32/Accessibility.h"
#include "platform/win32/Handles.h"

namespace mirufon::win32
{
namespace
{

ReadTarget TargetAt(POINT point, std::size_t maxChars)
{
    ReadTarget target;
    target.x = point.x;
    target.y = point.y;
    target.maxChars = maxChars;
    HWND control = ::WindowFromPoint(point);
    target.control = reinterpret_cast<WindowId>(control);
    wchar_t className[64] = {};
    ::GetClassNameW(control, className, 64);
    if (::lstrcmpiW(className, L"Edit") == 0)
    {
        target.kind = ControlKind::Edit;
        target.isPassword = (::GetWindowLongW(control, GWL_STYLE) & ES_PASSWORD) != 0;
    }
    return target;
}

} // namespace

ElementTexts ReadElementAt(const ReadRequest& request)
{
    const ReadTarget target = TargetAt(POINT{request.x, request.y}, request.maxChars);
    MsaaReader msaa;
    ElementReader* readers[] = {&msaa};
    return ReadElement(target, request.wanted, readers);
}

} // namespace mirufon::win32
