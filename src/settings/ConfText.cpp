#include "settings/ConfText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace mirufon
{

namespace
{

// How a key's value is converted and where it goes.
enum class ValueKind
{
    Geometry, // number reading, stored only when above 0 (32-bit)
    Number32, // number reading, rounded (32-bit)
    Number16, // number reading, rounded (16-bit)
    Whole32,  // whole-number conversion, rounded (32-bit)
    Whole16,  // whole-number conversion, rounded (16-bit)
    Text,     // the value text as it is
};

struct ConfKey
{
    std::wstring_view name;
    ValueKind kind;
    std::int32_t Settings::*int32Field;
    std::int16_t Settings::*int16Field;
    std::wstring Settings::*textField;
};

constexpr ConfKey Int32Key(std::wstring_view name, ValueKind kind, std::int32_t Settings::*field)
{
    return ConfKey{name, kind, field, nullptr, nullptr};
}

constexpr ConfKey Int16Key(std::wstring_view name, ValueKind kind, std::int16_t Settings::*field)
{
    return ConfKey{name, kind, nullptr, field, nullptr};
}

constexpr ConfKey TextKey(std::wstring_view name, std::wstring Settings::*field)
{
    return ConfKey{name, ValueKind::Text, nullptr, nullptr, field};
}

// The keys of Conf.txt in the order the file is written.
constexpr std::array<ConfKey, 20> ConfKeys = {
    Int32Key(L"form left", ValueKind::Geometry, &Settings::windowLeft),
    Int32Key(L"form top", ValueKind::Geometry, &Settings::windowTop),
    Int32Key(L"form width", ValueKind::Geometry, &Settings::windowWidth),
    Int32Key(L"form height", ValueKind::Geometry, &Settings::windowHeight),
    Int32Key(L"task tray", ValueKind::Number32, &Settings::startInTray),
    Int32Key(L"time auto close", ValueKind::Number32, &Settings::autoCloseTime),
    TextKey(L"disp pos", &Settings::popupPosition),
    Int16Key(L"disp top", ValueKind::Number16, &Settings::alwaysOnTop),
    TextKey(L"search string", &Settings::searchString),
    Int32Key(L"search fuzzy", ValueKind::Number32, &Settings::searchFuzzy),
    TextKey(L"custom item", &Settings::customItem),
    Int32Key(L"custom msg", ValueKind::Whole32, &Settings::showMessages),
    TextKey(L"key get name", &Settings::nameKey),
    TextKey(L"key get value", &Settings::valueKey),
    TextKey(L"key back", &Settings::cancelKey),
    TextKey(L"key crlf", &Settings::lineBreakKey),
    TextKey(L"key stop", &Settings::stopKey),
    TextKey(L"key modify", &Settings::modifier),
    Int16Key(L"separate tab", ValueKind::Whole16, &Settings::tabSeparated),
    Int16Key(L"add copy", ValueKind::Whole16, &Settings::captureCopies),
};

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

std::wstring_view TrimSpaces(std::wstring_view text)
{
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos)
    {
        return {};
    }
    const std::size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

// Keys are ASCII; only A to Z are folded so that other characters pass through untouched.
std::wstring LowerAscii(std::wstring_view text)
{
    std::wstring lower(text);
    for (wchar_t& c : lower)
    {
        if (c >= L'A' && c <= L'Z')
        {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return lower;
}

std::optional<double> ConvertValue(ValueKind kind, std::wstring_view value)
{
    if (kind == ValueKind::Whole32 || kind == ValueKind::Whole16)
    {
        return ConvertWholeNumber(value);
    }
    return ReadNumber(value);
}

// Stores one value; a value that cannot be converted or does not fit leaves the field as it was.
void StoreValue(const ConfKey& key, std::wstring_view value, Settings& settings)
{
    if (key.kind == ValueKind::Text)
    {
        settings.*key.textField = std::wstring(value);
        return;
    }
    const std::optional<double> number = ConvertValue(key.kind, value);
    if (!number)
    {
        return;
    }
    if (key.kind == ValueKind::Geometry && !(*number > 0.0))
    {
        return;
    }
    if (key.int16Field != nullptr)
    {
        if (const auto rounded = RoundToInt16(*number))
        {
            settings.*key.int16Field = *rounded;
        }
        return;
    }
    if (const auto rounded = RoundToInt32(*number))
    {
        settings.*key.int32Field = *rounded;
    }
}

constexpr std::wstring_view kKeyValueSeparator = L" = ";

// The length of the line FormatConf writes for the key with this value.
std::size_t FormattedLength(const ConfKey& key, std::wstring_view value)
{
    return key.name.size() + kKeyValueSeparator.size() + value.size();
}

// One line: exactly one "=", a known key before it; anything else is skipped.
void ParseLine(std::wstring_view line, Settings& settings)
{
    if (line.size() > kLongestConfLine)
    {
        return;
    }
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos || line.find(L'=', equals + 1) != std::wstring_view::npos)
    {
        return;
    }
    const std::wstring key = LowerAscii(TrimSpaces(line.substr(0, equals)));
    const std::wstring_view rest = line.substr(equals + 1);
    const std::wstring_view value = rest.substr(SkipSpaces(rest, 0));
    for (const ConfKey& known : ConfKeys)
    {
        if (known.name != key)
        {
            continue;
        }
        // Nor is a text kept that would be written back as a line too long to read.
        if (known.kind != ValueKind::Text || FormattedLength(known, value) <= kLongestConfLine)
        {
            StoreValue(known, value, settings);
        }
        return;
    }
}

std::wstring FormatValue(const ConfKey& key, const Settings& settings)
{
    if (key.textField != nullptr)
    {
        return settings.*key.textField;
    }
    if (key.int16Field != nullptr)
    {
        return std::to_wstring(settings.*key.int16Field);
    }
    return std::to_wstring(settings.*key.int32Field);
}

} // namespace

void ParseConf(std::wstring_view text, Settings& settings)
{
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t cr = text.find(L'\r', start);
        if (cr == std::wstring_view::npos)
        {
            ParseLine(text.substr(start), settings);
            break;
        }
        ParseLine(text.substr(start, cr - start), settings);
        start = cr + 1;
        if (start < text.size() && text[start] == L'\n')
        {
            ++start;
        }
    }
    settings.separator = SeparatorFor(settings.tabSeparated);
}

std::wstring FormatConf(const Settings& settings)
{
    std::wstring text;
    for (const ConfKey& key : ConfKeys)
    {
        text.append(key.name);
        text.append(kKeyValueSeparator);
        text.append(FormatValue(key, settings));
        text.append(L"\r\n");
    }
    return text;
}

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
