#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirufon
{

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
