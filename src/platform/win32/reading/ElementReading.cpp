#include "platform/win32/reading/ElementReading.h"

#include "platform/win32/reading/Accessibility.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/MessageReader.h"

namespace mirufon::win32
{

ElementTexts ReadElementAt(const ReadRequest& request, ReadProgress& progress)
{
    ReadTarget target = TargetAt(reinterpret_cast<HWND>(request.window),
                                 POINT{request.x, request.y}, request.maxChars);
    target.progress = &progress;
    // Active Accessibility first, as the element's own description; the control's window
    // messages for what it leaves out.
    MsaaReader msaa;
    MessageReader messages;
    ElementReader* readers[] = {&msaa, &messages};
    return ReadElement(target, request.wanted, readers);
}

} // namespace mirufon::win32
