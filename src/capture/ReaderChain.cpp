#include "capture/ReaderChain.h"

#include <algorithm>
#include <optional>

namespace mirufon
{
namespace
{

// One wanted text while the readers are asked in turn.
struct Pending
{
    explicit Pending(bool isWanted) : wanted(isWanted) {}

    bool wanted = false;
    bool settled = false;
    std::wstring text;
    std::optional<std::wstring> fallback;

    bool Open() const { return wanted && !settled; }

    void Offer(const std::wstring& candidate, bool ownText)
    {
        if (!Open() || candidate.empty())
        {
            return;
        }
        if (ownText)
        {
            text = candidate;
            settled = true;
            return;
        }
        if (!fallback)
        {
            fallback = candidate;
        }
    }

    std::wstring Result(std::size_t maxChars) const
    {
        std::wstring result = settled ? text : fallback.value_or(std::wstring());
        result.resize(std::min({result.size(), maxChars, result.find(L'\0')}));
        return result;
    }
};

// Whether an answer's text belongs to the element under the point itself: an item's text, or
// the control's own text when no item of it can lie under the point.
bool IsOwnText(const ReaderAnswer& answer, ControlKind kind)
{
    return answer.level == TextLevel::Item ||
           (answer.level == TextLevel::Control && !HoldsItems(kind));
}

} // namespace

bool HoldsItems(ControlKind kind)
{
    switch (kind)
    {
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::TreeView:
    case ControlKind::Header:
    case ControlKind::StatusBar:
    case ControlKind::TabControl:
        return true;
    case ControlKind::Other:
    case ControlKind::Edit:
    case ControlKind::ComboBox:
        return false;
    }
    return false;
}

ElementTexts ReadElement(const ReadTarget& target, WantedTexts wanted,
                         std::span<ElementReader* const> readers)
{
    // A password edit is not asked anything, by any reader.
    if (target.isPassword)
    {
        return ElementTexts{true, {}, {}};
    }
    Pending name{wanted.name};
    Pending value{wanted.value};
    bool refused = false;
    for (ElementReader* reader : readers)
    {
        if (!name.Open() && !value.Open())
        {
            break;
        }
        const ReaderAnswer answer = reader->Read(target, WantedTexts{name.Open(), value.Open()});
        if (answer.isProtected)
        {
            return ElementTexts{true, {}, {}};
        }
        refused = refused || answer.refused;
        const bool own = IsOwnText(answer, target.kind);
        name.Offer(answer.name, own);
        value.Offer(answer.value, own);
    }
    ElementTexts texts{false, name.Result(target.maxChars), value.Result(target.maxChars)};
    // A text that some reader could still give is the truth; a refusal with nothing to show
    // for it is told as such.
    texts.refused = refused && texts.name.empty() && texts.value.empty();
    return texts;
}

} // namespace mirufon
