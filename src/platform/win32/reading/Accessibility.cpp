#include "platform/win32/reading/Accessibility.h"

#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/MessageReader.h"
#include "platform/win32/reading/OleAcc.h"

#include <wrl/client.h>

#include <new>
#include <string>

namespace mirufon::win32
{
namespace
{

enum class Property
{
    Name,
    Value,
};

// The property, "" when it fails, does not exist (S_FALSE) or comes without a string. The
// child identifier is passed on exactly as the hit test returned it.
std::wstring ReadProperty(const HitObject& hit, Property property) noexcept
{
    OwnedBstr text;
    const HRESULT result = property == Property::Name
                               ? hit.accessible->get_accName(hit.child.Borrow(), text.Put())
                               : hit.accessible->get_accValue(hit.child.Borrow(), text.Put());
    // S_FALSE means "no such property"; a string that came with it is still freed.
    if (result != S_OK)
    {
        return {};
    }
    try
    {
        return text.Text();
    }
    catch (const std::bad_alloc&)
    {
        return {};
    }
}

bool IsProtected(const HitObject& hit) noexcept
{
    OwnedVariant state;
    if (hit.accessible->get_accState(hit.child.Borrow(), state.Put()) != S_OK)
    {
        return false;
    }
    const VARIANT value = state.Borrow();
    return value.vt == VT_I4 && (value.lVal & STATE_SYSTEM_PROTECTED) != 0;
}

TextLevel LevelOf(const HitObject& hit, WindowId control) noexcept
{
    const VARIANT child = hit.child.Borrow();
    if (child.vt == VT_I4 && child.lVal != CHILDID_SELF)
    {
        return TextLevel::Item;
    }
    HWND window = nullptr;
    if (const auto windowOf = OleAccLibrary::Instance().WindowOf())
    {
        windowOf(hit.accessible.Get(), &window);
    }
    if (window && control && reinterpret_cast<WindowId>(window) != control)
    {
        return TextLevel::Container;
    }
    return TextLevel::Control;
}

// An edit box's whole text is copied in one go by the accessibility layer. Its length, asked
// first with a time limit, tells whether the program answers and whether a long copy follows.
void AnnounceLongText(const ReadTarget& target)
{
    if (!target.progress)
    {
        return;
    }
    ControlMessenger messenger(reinterpret_cast<HWND>(target.control), kControlMessageLimit);
    const std::optional<LRESULT> length = messenger.Send(WM_GETTEXTLENGTH);
    if (length && *length >= 0 && static_cast<std::size_t>(*length) >= kLongTextChars)
    {
        target.progress->Answering(static_cast<std::size_t>(*length));
    }
}

} // namespace

ReaderAnswer MsaaReader::Read(const ReadTarget& target, WantedTexts wanted)
{
    HitObject hit;
    if (!HitTestAt(POINT{target.x, target.y}, hit))
    {
        return {};
    }
    if (IsProtected(hit))
    {
        return ReaderAnswer{true, TextLevel::Control, {}, {}};
    }
    ReaderAnswer answer;
    answer.level = LevelOf(hit, target.control);
    if (wanted.name)
    {
        answer.name = ReadProperty(hit, Property::Name);
    }
    // An edit box's value is its whole text, which the accessibility layer copies whatever its
    // length; a read that wants only the beginning leaves it to the control's own messages,
    // which ask for no more than that.
    const bool limitedEdit = target.kind == ControlKind::Edit &&
                             answer.level == TextLevel::Control && target.maxChars != kWholeText;
    if (wanted.value && !limitedEdit)
    {
        if (target.kind == ControlKind::Edit && answer.level == TextLevel::Control)
        {
            AnnounceLongText(target);
        }
        answer.value = ReadProperty(hit, Property::Value);
    }
    return answer;
}

} // namespace mirufon::win32
