#pragma once

#include "settings/Settings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mirufon
{

// Lines longer than this are no setting anyone wrote: they are skipped unread.
inline constexpr std::size_t kLongestConfLine = 4096;

// Reads Conf.txt's text into settings: fields the text does not name, or names with a value
// that cannot be converted or does not fit the field, keep their current values, and so do
// fields named on a line longer than kLongestConfLine characters, and text fields whose line
// as FormatConf writes it would be longer. Lines end at CR LF or a lone CR; a lone LF does not
// end a line. Never fails.
void ParseConf(std::wstring_view text, Settings& settings);

// One line as ParseConf reads it; true when it set a field.
bool ApplyConfLine(std::wstring_view line, Settings& settings);

// The pieces of ApplyConfLine, for reading Conf.txt without decoding all of it (ConfLines):
// the known keys in file order, found by name with spaces around it ignored and A to Z in
// any case; whether a key holds text; the length of its name; where a value starts after the
// "="; and a value stored into the key's field, true when the field took it.
inline constexpr std::size_t kConfKeyCount = 20;
std::optional<std::size_t> ConfKeyIndex(std::wstring_view key);
bool IsTextConfKey(std::size_t index);
std::size_t ConfKeyNameLength(std::size_t index);
std::size_t ConfValueStart(std::wstring_view afterEquals);
bool ApplyConfValue(std::size_t index, std::wstring_view value, Settings& settings);

// The 20 lines of Conf.txt in their fixed order, each ended by CR LF. The geometry lines take
// the window's current geometry, which the caller puts in the Form* fields.
std::wstring FormatConf(const Settings& settings);

// Number reading as Conf.txt values need it: leading spaces, tabs and line feeds skipped, an
// optional sign, digits with at most one decimal point; stops at the first character that
// cannot continue the number; a text without a leading number reads as 0.
double ReadNumber(std::wstring_view text);

// Whole-number conversion: the whole text must be a number (optional sign, digits, an optional
// decimal fraction, spaces around it); nothing otherwise. The fraction is kept: callers round.
std::optional<double> ConvertWholeNumber(std::wstring_view text);

// Nearest integer, halves to the even neighbour (4500.5 gives 4500, 4501.5 gives 4502).
double RoundHalfEven(double value);

// RoundHalfEven into a 32-bit or 16-bit field; nothing when the result does not fit.
std::optional<std::int32_t> RoundToInt32(double value);
std::optional<std::int16_t> RoundToInt16(double value);

} // namespace mirufon
