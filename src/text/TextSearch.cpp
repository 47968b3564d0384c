#include "text/TextSearch.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace mirufon
{
namespace
{

// U+FF61 to U+FF9F, the half-width katakana and signs, as their full-width forms.
constexpr std::wstring_view kFullWidthOfHalfWidthKana =
    L"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    L"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(kFullWidthOfHalfWidthKana.size() == 0xFF9F - 0xFF61 + 1);
// U+FFE0 to U+FFE6, the full-width signs, as their usual forms.
constexpr std::wstring_view kUsualOfFullWidthSigns = L"\u00A2\u00A3\u00AC\u00AF\u00A6\u00A5\u20A9";

constexpr bool Within(wchar_t ch, wchar_t first, wchar_t last)
{
    return ch >= first && ch <= last;
}

wchar_t NarrowWidth(wchar_t ch)
{
    if (Within(ch, 0xFF01, 0xFF5E))
    {
        return static_cast<wchar_t>(ch - 0xFF01 + 0x21);
    }
    if (ch == 0x3000)
    {
        return L' ';
    }
    if (Within(ch, 0xFF61, 0xFF9F))
    {
        return kFullWidthOfHalfWidthKana[ch - 0xFF61];
    }
    if (Within(ch, 0xFFE0, 0xFFE6))
    {
        return kUsualOfFullWidthSigns[ch - 0xFFE0];
    }
    return ch;
}

// Capitals of the Latin letters of ASCII and Latin-1, and of the Greek and Cyrillic alphabets
// (which Japanese text sets full-width, from JIS X 0208), in small letters.
wchar_t SmallLetter(wchar_t ch)
{
    if (Within(ch, L'A', L'Z') || (Within(ch, 0xC0, 0xDE) && ch != 0xD7) ||
        (Within(ch, 0x391, 0x3A9) && ch != 0x3A2) || Within(ch, 0x410, 0x42F))
    {
        return static_cast<wchar_t>(ch + 0x20);
    }
    if (Within(ch, 0x400, 0x40F))
    {
        return static_cast<wchar_t>(ch + 0x50);
    }
    return ch;
}

// Katakana as hiragana, where hiragana has the letter (ヷ to ヺ have none).
wchar_t Hiragana(wchar_t ch)
{
    if (Within(ch, 0x30A1, 0x30F6) || ch == 0x30FD || ch == 0x30FE)
    {
        return static_cast<wchar_t>(ch - 0x60);
    }
    return ch;
}

bool IsVoicingMark(wchar_t ch)
{
    return ch == 0xFF9E || ch == 0x3099;
}

bool IsSemiVoicingMark(wchar_t ch)
{
    return ch == 0xFF9F || ch == 0x309A;
}

// The row of は to ほ, which take both marks.
bool IsHaRow(wchar_t ch)
{
    return Within(ch, 0x306F, 0x307B) && (ch - 0x306F) % 3 == 0;
}

// The hiragana with the voicing mark, or 0 when it takes none: か to ぢ and つ to ど every
// other letter, the は row, う and ゝ.
wchar_t Voiced(wchar_t ch)
{
    if ((Within(ch, 0x304B, 0x3061) && (ch - 0x304B) % 2 == 0) ||
        (Within(ch, 0x3064, 0x3068) && (ch - 0x3064) % 2 == 0) || IsHaRow(ch) || ch == 0x309D)
    {
        return static_cast<wchar_t>(ch + 1);
    }
    return ch == 0x3046 ? wchar_t{0x3094} : wchar_t{0};
}

// A unit as loose matching compares it on its own.
wchar_t FoldedAlone(wchar_t unit)
{
    return Hiragana(SmallLetter(NarrowWidth(unit)));
}

struct FoldedUnit
{
    wchar_t unit;
    std::size_t length; // the units of the text it stands for: 2 for a kana with its mark
};

// The character at `at` as loose matching compares it.
FoldedUnit FoldAt(std::wstring_view text, std::size_t at)
{
    const wchar_t ch = FoldedAlone(text[at]);
    if (at + 1 < text.size())
    {
        const wchar_t mark = text[at + 1];
        if (IsVoicingMark(mark) && Voiced(ch) != 0)
        {
            return {Voiced(ch), 2};
        }
        if (IsSemiVoicingMark(mark) && IsHaRow(ch))
        {
            return {static_cast<wchar_t>(ch + 2), 2};
        }
    }
    return {ch, 1};
}

std::wstring Folded(std::wstring_view text)
{
    std::wstring folded;
    for (std::size_t at = 0; at < text.size();)
    {
        const FoldedUnit unit = FoldAt(text, at);
        folded.push_back(unit.unit);
        at += unit.length;
    }
    return folded;
}

// Where a loose match of the folded query that starts at `at` ends, if one does.
std::optional<std::size_t> LooseMatchAt(std::wstring_view text, std::size_t at,
                                        std::wstring_view folded)
{
    for (const wchar_t wanted : folded)
    {
        if (at >= text.size())
        {
            return std::nullopt;
        }
        const FoldedUnit unit = FoldAt(text, at);
        if (unit.unit != wanted)
        {
            return std::nullopt;
        }
        at += unit.length;
    }
    return at;
}

// The units a loose match of a folded text can start with: those that fold to its first unit,
// alone or with a sound mark after them, in a table for the units of the basic plane.
class FirstUnits
{
  public:
    explicit FirstUnits(wchar_t first) : m_first(first), m_starts(0x10000)
    {
        for (std::uint32_t unit = 0; unit < m_starts.size(); ++unit)
        {
            const wchar_t folded = FoldedAlone(static_cast<wchar_t>(unit));
            m_starts[unit] = folded == first || (Voiced(folded) != 0 && Voiced(folded) == first) ||
                             (IsHaRow(folded) && folded + 2 == first);
        }
    }

    bool operator()(wchar_t unit) const
    {
        const auto value = static_cast<std::uint32_t>(unit);
        return value < m_starts.size() ? m_starts[value] : unit == m_first;
    }

  private:
    wchar_t m_first;
    std::vector<char> m_starts;
};

// Each place a match may start (the unit there can start one) is tried in turn, going down or
// up, until one matches.
template <typename Starts, typename Matches>
std::optional<TextSpan> FirstMatch(std::wstring_view text, TextSpan from, SearchDirection direction,
                                   const Starts& startsMatch, const Matches& matchAt)
{
    const wchar_t* const units = text.data();
    if (direction == SearchDirection::Down)
    {
        for (std::size_t at = from.end; at < text.size(); ++at)
        {
            if (!startsMatch(units[at]))
            {
                continue;
            }
            if (const std::optional<std::size_t> end = matchAt(at))
            {
                return TextSpan{at, *end};
            }
        }
        return std::nullopt;
    }
    for (std::size_t at = std::min(from.start, text.size()); at-- > 0;)
    {
        if (!startsMatch(units[at]))
        {
            continue;
        }
        if (const std::optional<std::size_t> end = matchAt(at))
        {
            return TextSpan{at, *end};
        }
    }
    return std::nullopt;
}

std::optional<TextSpan> FindLoose(std::wstring_view text, TextSpan from, const TextQuery& query)
{
    const std::wstring folded = Folded(query.what);
    return FirstMatch(text, from, query.direction, FirstUnits(folded.front()),
                      [&](std::size_t at) { return LooseMatchAt(text, at, folded); });
}

std::optional<TextSpan> FindExact(std::wstring_view text, TextSpan from, const TextQuery& query)
{
    const std::wstring_view what = query.what;
    if (query.direction == SearchDirection::Down)
    {
        const std::size_t at = text.find(what, from.end);
        return at == std::wstring_view::npos ? std::nullopt
                                             : std::optional(TextSpan{at, at + what.size()});
    }
    return FirstMatch(
        text, from, query.direction, [first = what.front()](wchar_t unit) { return unit == first; },
        [&](std::size_t at) -> std::optional<std::size_t>
        {
            if (text.substr(at, what.size()) != what)
            {
                return std::nullopt;
            }
            return at + what.size();
        });
}

} // namespace

std::optional<TextSpan> FindNext(std::wstring_view text, TextSpan from, const TextQuery& query)
{
    if (query.what.empty())
    {
        return std::nullopt;
    }
    return query.matching == Matching::Loose ? FindLoose(text, from, query)
                                             : FindExact(text, from, query);
}

} // namespace mirufon
