#pragma once

#include "settings/Settings.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mirufon
{

// Lines longer than this are no setting anyone wrote: they are skipped unread.
inline constexpr std::size_t kLongestConfLine = 4096;

// Reads Conf.txt's text into settings: fields the text does not name, or names with a value
// that cannot be converted or does not fit the field, keep their current values, and so do
// fields named on a line longer than kLongestConfLine characters, and text fields whose line
// as FormatConf writes it would be longer. The harvest key is the exception: a text that gives
// it no value (a file older than the key) gets FreeHarvestKey of the other five keys as read.
// Lines end at CR LF or a lone CR; a lone LF does not end a line. Never fails.
void ParseConf(std::wstring_view text, Settings& settings);

// The harvest key for a Conf.txt that has none: kDefaultHarvestKey ("L"), or, when one of the
// keys already uses L, the first letter after it that none uses, M to Z and then A to K ("L"
// again when every letter is used). A key uses the letter its first character is, in either case,
// as its hotkey does.
std::wstring FreeHarvestKey(std::span<const std::wstring_view> keys);

// One line as ParseConf reads it; true when it set a field.
bool ApplyConfLine(std::wstring_view line, Settings& settings);

// The pieces of ApplyConfLine, for reading Conf.txt without decoding all of it (ConfLines):
// the known keys in file order, found by name with spaces around it ignored and A to Z in
// any case; whether a key holds text; the length of its name; where a value starts after the
// "="; and a value stored into the key's field, true when the field took it.
inline constexpr std::size_t kConfKeyCount = 21;
std::optional<std::size_t> ConfKeyIndex(std::wstring_view key);
bool IsTextConfKey(std::size_t index);
std::size_t ConfKeyNameLength(std::size_t index);
bool ApplyConfValue(std::size_t index, std::wstring_view value, Settings& settings);

// The 21 lines of Conf.txt in their fixed order, each ended by CR LF. The geometry lines take
// the window's current geometry, which the caller puts in the Form* fields. A text holding a CR
// is written empty.
std::wstring FormatConf(const Settings& settings);

} // namespace mirufon
