#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace mirufon
{

enum class SearchDirection
{
    Down, // towards the end of the text
    Up,   // towards its start
};

// A run of text from start up to end (not included), in UTF-16 units on Windows and wchar_t
// elsewhere; start == end is a caret.
struct TextSpan
{
    std::size_t start = 0;
    std::size_t end = 0;

    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// How a search compares the text. Loose is the match Japanese users expect of a search box:
// upper and lower case alike (Latin, Greek and Cyrillic letters), full-width and half-width
// forms alike (ASCII, the ideographic space, the full-width signs, half-width katakana with
// their sound marks), and katakana alike with hiragana. A kana and the sound mark after it are
// one character: "か" does not match the start of "が" or of "ｶﾞ".
enum class Matching
{
    Exact,
    Loose,
};

// The matching a stored "search fuzzy" value asks for: exact for 0, loose for anything else.
constexpr Matching MatchingFor(std::int32_t searchFuzzy) noexcept
{
    return searchFuzzy == 0 ? Matching::Exact : Matching::Loose;
}

struct TextQuery
{
    std::wstring_view what;
    Matching matching = Matching::Exact;
    SearchDirection direction = SearchDirection::Down;
};

// The occurrence to select next when the selection is `from`: going down, the first that starts
// at or after the selection's end; going up, the last that starts before its start. Nothing when
// there is none, or when the query is empty.
std::optional<TextSpan> FindNext(std::wstring_view text, TextSpan from, const TextQuery& query);

} // namespace mirufon
