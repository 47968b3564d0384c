#include "platform/win32/reading/MessageReader.h"

#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/ItemMessages.h"

namespace mirufon::win32
{
namespace
{

// A control that holds items: the item under the point, else the control's own text.
void ReadItems(const ReadTarget& target, ControlMessenger& messenger, ReaderAnswer& answer)
{
    POINT client{target.x, target.y};
    ::ScreenToClient(messenger.Control(), &client);
    if (auto item = ItemTextAt(target.kind, messenger, client, target.maxChars))
    {
        answer.level = TextLevel::Item;
        answer.name = std::move(*item);
        return;
    }
    answer.name = messenger.WindowText(target.maxChars).value_or(L"");
}

} // namespace

ReaderAnswer MessageReader::Read(const ReadTarget& target, WantedTexts wanted)
{
    ReaderAnswer answer;
    HWND control = reinterpret_cast<HWND>(target.control);
    if (target.isPassword || (control && IsPasswordEdit(control)))
    {
        answer.isProtected = true;
        return answer;
    }
    if (!control || !::IsWindow(control))
    {
        return answer;
    }
    ControlMessenger messenger(control, m_messageLimit);
    if (target.kind == ControlKind::Edit || target.kind == ControlKind::ComboBox)
    {
        if (wanted.value)
        {
            answer.value = messenger.WindowText(target.maxChars).value_or(L"");
        }
        return answer;
    }
    if (!wanted.name)
    {
        return answer;
    }
    if (HoldsItems(target.kind))
    {
        ReadItems(target, messenger, answer);
        return answer;
    }
    answer.name = ShownCaption(messenger, target.maxChars);
    return answer;
}

} // namespace mirufon::win32
