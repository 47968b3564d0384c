#include "platform/win32/reading/MessageReader.h"

#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/ItemReaders.h"

namespace mirufon::win32
{
namespace
{

// A control that holds items: the item under the point, else the control's own text.
void ReadItems(const ReadTarget& target, ControlSession& session, ReaderAnswer& answer)
{
    if (const std::unique_ptr<ItemReader> reader = ItemReaderFor(target.kind, session))
    {
        const POINT client = ClientPointOf(session.Control(), POINT{target.x, target.y});
        if (auto item = reader->ItemAt(client, target.maxChars))
        {
            answer.level = TextLevel::Item;
            answer.name = std::move(*item);
            return;
        }
    }
    answer.name = session.Messenger().WindowText(target.maxChars).value_or(L"");
}

void ReadControl(const ReadTarget& target, WantedTexts wanted, ControlSession& session,
                 ReaderAnswer& answer)
{
    if (target.kind == ControlKind::Edit || target.kind == ControlKind::ComboBox)
    {
        if (wanted.value)
        {
            answer.value = session.Messenger().WindowText(target.maxChars).value_or(L"");
        }
        return;
    }
    if (!wanted.name)
    {
        return;
    }
    if (HoldsItems(target.kind))
    {
        ReadItems(target, session, answer);
        return;
    }
    answer.name = ShownCaption(session.Messenger(), target.maxChars);
}

} // namespace

ReaderAnswer MessageReader::Read(const ReadTarget& target, WantedTexts wanted)
{
    ReaderAnswer answer;
    if (target.isPassword)
    {
        answer.isProtected = true;
        return answer;
    }
    HWND control = reinterpret_cast<HWND>(target.control);
    if (!control || !::IsWindow(control))
    {
        return answer;
    }
    ReadMemory memory;
    ControlSession session(control, memory, m_messageLimit);
    ReadControl(target, wanted, session, answer);
    answer.refused = session.Outcome() == ControlRead::Refused;
    return answer;
}

} // namespace mirufon::win32
