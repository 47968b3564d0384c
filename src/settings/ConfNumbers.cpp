#include "settings/ConfNumbers.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

namespace mirufon
{

namespace
{

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

std::size_t SkipSpaces(std::wstring_view text, std::size_t pos)
{
    while (pos < text.size() && text[pos] == L' ')
    {
        ++pos;
    }
    return pos;
}

// A number as it stands in the text: sign, then digits with at most one decimal point.
struct ScannedNumber
{
    std::size_t end = 0; // index just past the number
    bool negative = false;
    bool hasDigit = false;
    bool wholePartNonZero = false; // a non-zero digit before the point: magnitude at least 1
    std::string mantissa;          // the digits and point, narrowed for std::from_chars
};

ScannedNumber ScanNumber(std::wstring_view text, std::size_t pos)
{
    ScannedNumber number;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-'))
    {
        number.negative = text[pos] == L'-';
        ++pos;
    }
    bool seenPoint = false;
    for (; pos < text.size(); ++pos)
    {
        const wchar_t c = text[pos];
        if (IsDigit(c))
        {
            number.hasDigit = true;
            number.wholePartNonZero = number.wholePartNonZero || (!seenPoint && c != L'0');
            number.mantissa.push_back(static_cast<char>(c));
        }
        else if (c == L'.' && !seenPoint)
        {
            seenPoint = true;
            number.mantissa.push_back('.');
        }
        else
        {
            break;
        }
    }
    number.end = pos;
    return number;
}

// The value of a scanned number. std::from_chars does not depend on the C locale, so a comma
// locale cannot change how "7000.5" reads. Digit strings beyond the range of double give
// infinity (or zero for tiny fractions), which the integer fields then refuse.
double NumberValue(const ScannedNumber& number)
{
    if (!number.hasDigit)
    {
        return 0.0;
    }
    std::string mantissa = number.mantissa;
    if (mantissa.front() == '.')
    {
        mantissa.insert(mantissa.begin(), '0');
    }
    if (mantissa.back() == '.')
    {
        mantissa.push_back('0');
    }
    double value = 0.0;
    const auto result = std::from_chars(mantissa.data(), mantissa.data() + mantissa.size(), value);
    if (result.ec == std::errc::result_out_of_range)
    {
        value = number.wholePartNonZero ? std::numeric_limits<double>::infinity() : 0.0;
    }
    else if (result.ec != std::errc{})
    {
        value = 0.0;
    }
    return number.negative ? -value : value;
}

} // namespace

double ReadNumber(std::wstring_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() &&
           (text[pos] == L' ' || text[pos] == L'\t' || text[pos] == L'\n' || text[pos] == L'\r'))
    {
        ++pos;
    }
    return NumberValue(ScanNumber(text, pos));
}

std::optional<double> ConvertWholeNumber(std::wstring_view text)
{
    const ScannedNumber number = ScanNumber(text, SkipSpaces(text, 0));
    if (!number.hasDigit || SkipSpaces(text, number.end) != text.size())
    {
        return std::nullopt;
    }
    return NumberValue(number);
}

double RoundHalfEven(double value)
{
    // Done by hand rather than with the current floating-point rounding mode, which other code
    // could have changed. value - floor(value) is exact for every finite double.
    if (!std::isfinite(value))
    {
        return value;
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
    {
        return below + 1.0;
    }
    if (fraction < 0.5)
    {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<std::int32_t> RoundToInt32(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
    {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int16_t> RoundToInt16(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
    {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

} // namespace mirufon
