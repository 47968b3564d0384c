#include "settings/ConfText.h"

#include "settings/ConfNumbers.h"
#include "text/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

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
constexpr std::array<ConfKey, kConfKeyCount> ConfKeys = {
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
    TextKey(L"key get all", &Settings::harvestKey),
};

std::size_t SkipSpaces(std::wstring_view text, std::size_t pos)
{
    while (pos < text.size() && text[pos] == L' ')
    {
        ++pos;
    }
    return pos;
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

std::optional<double> ConvertValue(ValueKind kind, std::wstring_view value)
{
    if (kind == ValueKind::Whole32 || kind == ValueKind::Whole16)
    {
        return ConvertWholeNumber(value);
    }
    return ReadNumber(value);
}

// Stores one value; a value that cannot be converted or does not fit leaves the field as it
// was. True when the field took the value.
bool StoreValue(const ConfKey& key, std::wstring_view value, Settings& settings)
{
    if (key.kind == ValueKind::Text)
    {
        settings.*key.textField = std::wstring(value);
        return true;
    }
    const std::optional<double> number = ConvertValue(key.kind, value);
    if (!number || (key.kind == ValueKind::Geometry && !(*number > 0.0)))
    {
        return false;
    }
    if (key.int16Field != nullptr)
    {
        const auto rounded = RoundToInt16(*number);
        if (rounded)
        {
            settings.*key.int16Field = *rounded;
        }
        return rounded.has_value();
    }
    const auto rounded = RoundToInt32(*number);
    if (rounded)
    {
        settings.*key.int32Field = *rounded;
    }
    return rounded.has_value();
}

constexpr std::wstring_view kKeyValueSeparator = L" = ";

std::wstring FormatValue(const ConfKey& key, const Settings& settings)
{
    if (key.textField != nullptr)
    {
        // A CR would end the line early and make the rest a line of its own, able to set any
        // key: such a text (a search text pasted with a line break) is written empty.
        const std::wstring& text = settings.*key.textField;
        return text.find(L'\r') == std::wstring::npos ? text : std::wstring();
    }
    if (key.int16Field != nullptr)
    {
        return std::to_wstring(settings.*key.int16Field);
    }
    return std::to_wstring(settings.*key.int32Field);
}

std::size_t ConfValueStart(std::wstring_view afterEquals)
{
    return SkipSpaces(afterEquals, 0);
}

} // namespace

std::optional<std::size_t> ConfKeyIndex(std::wstring_view key)
{
    const std::wstring_view trimmed = TrimSpaces(key);
    for (std::size_t index = 0; index < ConfKeys.size(); ++index)
    {
        if (EqualsIgnoringAsciiCase(trimmed, ConfKeys[index].name))
        {
            return index;
        }
    }
    return std::nullopt;
}

bool IsTextConfKey(std::size_t index)
{
    return ConfKeys[index].kind == ValueKind::Text;
}

std::size_t ConfKeyNameLength(std::size_t index)
{
    return ConfKeys[index].name.size();
}

bool ApplyConfValue(std::size_t index, std::wstring_view value, Settings& settings)
{
    return StoreValue(ConfKeys[index], value, settings);
}

namespace
{

// One line as ParseConf reads it: the key whose field took the line's value, if any.
std::optional<std::size_t> ApplyLine(std::wstring_view line, Settings& settings)
{
    if (line.size() > kLongestConfLine)
    {
        return std::nullopt;
    }
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos || line.find(L'=', equals + 1) != std::wstring_view::npos)
    {
        return std::nullopt;
    }
    const std::optional<std::size_t> index = ConfKeyIndex(line.substr(0, equals));
    if (!index)
    {
        return std::nullopt;
    }
    const ConfKey& key = ConfKeys[*index];
    const std::wstring_view rest = line.substr(equals + 1);
    const std::wstring_view value = rest.substr(ConfValueStart(rest));
    // Nor is a text kept that would be written back as a line too long to read.
    if (key.kind == ValueKind::Text &&
        key.name.size() + kKeyValueSeparator.size() + value.size() > kLongestConfLine)
    {
        return std::nullopt;
    }
    if (!StoreValue(key, value, settings))
    {
        return std::nullopt;
    }
    return index;
}

bool IsLetterOf(std::wstring_view key, wchar_t letter)
{
    return !key.empty() && AsciiLower(key.front()) == AsciiLower(letter);
}

} // namespace

bool ApplyConfLine(std::wstring_view line, Settings& settings)
{
    return ApplyLine(line, settings).has_value();
}

std::wstring FreeHarvestKey(std::span<const std::wstring_view> keys)
{
    constexpr int kLetters = L'Z' - L'A' + 1;
    const wchar_t first = kDefaultHarvestKey.front();
    for (int step = 0; step < kLetters; ++step)
    {
        const auto letter = static_cast<wchar_t>(L'A' + (first - L'A' + step) % kLetters);
        if (std::none_of(keys.begin(), keys.end(),
                         [letter](std::wstring_view key) { return IsLetterOf(key, letter); }))
        {
            return std::wstring(1, letter);
        }
    }
    return std::wstring(kDefaultHarvestKey);
}

void ParseConf(std::wstring_view text, Settings& settings)
{
    bool harvestKeyRead = false;
    const auto apply = [&](std::wstring_view line)
    {
        const std::optional<std::size_t> key = ApplyLine(line, settings);
        harvestKeyRead =
            harvestKeyRead || (key && ConfKeys[*key].textField == &Settings::harvestKey);
    };
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t cr = text.find(L'\r', start);
        if (cr == std::wstring_view::npos)
        {
            apply(text.substr(start));
            break;
        }
        apply(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == L'\n')
        {
            ++start;
        }
    }
    // A file older than the harvest key: the key goes where none of the others is.
    if (!harvestKeyRead)
    {
        const std::wstring_view others[] = {settings.nameKey, settings.valueKey,
                                            settings.lineBreakKey, settings.cancelKey,
                                            settings.stopKey};
        settings.harvestKey = FreeHarvestKey(others);
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

} // namespace mirufon
