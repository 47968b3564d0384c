#include "text/TextSearch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace mirufon
{
namespace
{

constexpr auto Down = SearchDirection::Down;
constexpr auto Up = SearchDirection::Up;
constexpr auto Exact = Matching::Exact;
constexpr auto Loose = Matching::Loose;

TEST(TextSearch, FindsTheNextOccurrenceExactlyOrLooselyInEitherDirection)
{
    struct Case
    {
        std::wstring_view text;
        TextSpan from;
        std::wstring_view what;
        Matching matching;
        SearchDirection direction;
        std::optional<TextSpan> expected;
        const char* why;
    };
    const Case cases[] = {
        {L"apple Apple", {}, L"Apple", Exact, Down, TextSpan{6, 11}, "exact keeps case"},
        {L"apple Apple", {}, L"Apple", Loose, Down, TextSpan{0, 5}, "loose folds case"},
        {L"ＡＢＣ", {}, L"ABC", Exact, Down, std::nullopt, "exact keeps width"},
        {L"xＡｂＣ", {}, L"abc", Loose, Down, TextSpan{1, 4}, "full-width letters, any case"},
        {L"Ａ　１", {}, L"a 1", Loose, Down, TextSpan{0, 3}, "ideographic space and digits"},
        {L"￥100", {}, L"\u00A5100", Loose, Down, TextSpan{0, 4}, "full-width signs"},
        {L"ÉΑБЁ", {}, L"éαбё", Loose, Down, TextSpan{0, 4}, "Latin-1, Greek, Cyrillic"},
        {L"リンゴ", {}, L"りんご", Loose, Down, TextSpan{0, 3}, "katakana as hiragana"},
        {L"xﾘﾝｺﾞ", {}, L"りんご", Loose, Down, TextSpan{1, 5}, "half-width kana and mark"},
        {L"ﾊﾟﾝ", {}, L"ぱん", Loose, Down, TextSpan{0, 3}, "the semi-voicing mark"},
        {L"カ\u3099", {}, L"ｶﾞ", Loose, Down, TextSpan{0, 2}, "a combining mark"},
        {L"ｶﾞ", {}, L"か", Loose, Down, std::nullopt, "か is not the start of が"},
        {L"ヴ", {}, L"ｳﾞ", Loose, Down, TextSpan{0, 1}, "う takes the mark too"},
        {L"りん", {}, L"りんご", Loose, Down, std::nullopt, "the text ends first"},
        {L"ab ab ab", {3, 5}, L"ab", Exact, Down, TextSpan{6, 8}, "down starts at the end"},
        {L"abab", {1, 1}, L"ab", Exact, Down, TextSpan{2, 4}, "down from a caret"},
        {L"ab ab ab", {3, 5}, L"ab", Exact, Up, TextSpan{0, 2}, "up starts before the start"},
        {L"ab ab ab", {0, 2}, L"ab", Exact, Up, std::nullopt, "nothing before the first"},
        {L"AB ab Ab", {6, 8}, L"ab", Loose, Up, TextSpan{3, 5}, "loose upwards"},
        {L"ｱｲ ｱｲ", {3, 5}, L"あい", Loose, Up, TextSpan{0, 2}, "loose upwards in kana"},
        {L"ab", {}, L"", Loose, Down, std::nullopt, "an empty query finds nothing"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(FindNext(c.text, c.from, {c.what, c.matching, c.direction}), c.expected) << c.why;
    }
}

} // namespace
} // namespace mirufon
