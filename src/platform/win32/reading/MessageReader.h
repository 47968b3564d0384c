#pragma once

#include "capture/ElementReader.h"

#include <chrono>

namespace mirufon::win32
{

// How long one window message to the control under the point may take to be answered.
inline constexpr std::chrono::milliseconds kControlMessageLimit{200};

// Reads the control under the point by its own window messages: the item of a list box, list
// view, tree view, header, status bar or tab control under the point as the name (level Item);
// the text of an edit or combo box as the value; the caption of any other window as the name,
// as it shows it. Works with controls of other programs and of this one; a control that does
// not answer within the limit gives nothing, and is asked nothing more during that read; a
// program that refuses (it runs as administrator) gives nothing and says so. A password box is
// never sent anything: the answer only says it is protected.
class MessageReader final : public ElementReader
{
  public:
    explicit MessageReader(std::chrono::milliseconds messageLimit = kControlMessageLimit)
        : m_messageLimit(messageLimit)
    {
    }

    ReaderAnswer Read(const ReadTarget& target, WantedTexts wanted) override;

  private:
    std::chrono::milliseconds m_messageLimit;
};

} // namespace mirufon::win32
