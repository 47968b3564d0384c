#pragma once

#include "capture/ElementReader.h"
#include "platform/win32/window/Handles.h"


namespace mirufon::win32
{

// Active Accessibility as one of the readers of the element at a point: a single hit test
// per read gives the name and the value, whichever are wanted. An element whose state is
// protected (a password) is reported as such and nothing is read of it. The answer's level
// says whether the object is a child element of its window (an item), the control under the
// point itself, or a window that merely holds that control (a container).
class MsaaReader final : public ElementReader
{
  public:
    ReaderAnswer Read(const ReadTarget& target, WantedTexts wanted) override;
};

} // namespace mirufon::win32
