// Fuzz target for reading and writing Conf.txt.
//
// Whatever text is parsed, the record that comes out must survive FormatConf and a second
// ParseConf unchanged: values taken from a line never begin with a space and never hold CR or
// "=", and a geometry field is either untouched (0 in a fresh record) or above 0. So the
// second parse, on a fresh record too, has to reproduce every field exactly. Reading the text
// from its end in pieces (ConfLines) must give the same record as parsing all of it.

#include "../settings/SettingsFields.h"
#include "settings/ConfLines.h"
#include "settings/ConfNumbers.h"
#include "settings/ConfText.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

using namespace mirufon;

// The keys, taken from what FormatConf writes.
const std::vector<std::wstring>& Keys()
{
    static const std::vector<std::wstring> keys = []
    {
        std::vector<std::wstring> found;
        const std::wstring text = FormatConf(Settings{});
        std::size_t start = 0;
        while (start < text.size())
        {
            const std::size_t end = text.find(L"\r\n", start);
            const std::wstring line = text.substr(start, end - start);
            found.push_back(line.substr(0, line.find(L" = ")));
            start = end + 2;
        }
        return found;
    }();
    return keys;
}

// Control bytes with no meaning to the parser stand for whole keys, so that the fuzzer reaches
// the value conversions quickly; bytes from 0x80 up become non-ASCII characters (Latin-1
// letters, then a CJK block that holds 右) to exercise case folding and wide values.
std::wstring ToText(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::uint8_t keyBytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                                0x08, 0x0B, 0x0C, 0x0E, 0x0F, 0x10, 0x11,
                                                0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18};
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i)
    {
        const std::uint8_t byte = data[i];
        bool isKey = false;
        for (std::size_t k = 0; k < sizeof keyBytes; ++k)
        {
            if (keyBytes[k] == byte)
            {
                text += Keys().at(k);
                isKey = true;
                break;
            }
        }
        if (isKey)
        {
            continue;
        }
        if (byte < 0x80)
        {
            text.push_back(static_cast<wchar_t>(byte));
        }
        else if (byte < 0xC0)
        {
            text.push_back(static_cast<wchar_t>(0xC0 + (byte - 0x80)));
        }
        else
        {
            text.push_back(static_cast<wchar_t>(0x53F0 + (byte - 0xC0)));
        }
    }
    return text;
}

void Check(bool condition)
{
    if (!condition)
    {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = ToText(data, size);

    Settings parsed;
    ParseConf(text, parsed);
    Check(parsed.separator == SeparatorFor(parsed.tabSeparated));

    const std::wstring written = FormatConf(parsed);
    Settings reparsed;
    ParseConf(written, reparsed);
    Check(SettingsFields(reparsed) == SettingsFields(parsed));
    Check(FormatConf(reparsed) == written);

    // Read from its end in pieces, as Conf.txt is read from disk, the text gives the same
    // settings through the lines found as through ParseConf on the whole of it.
    std::string units;
    for (const wchar_t c : text)
    {
        units.push_back(static_cast<char>(c & 0xFF));
        units.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    ConfLines lines(ConfDecoding{ConfEncoding::Utf16LittleEndian, nullptr, {}});
    const std::size_t piece = 2 * (1 + (size > 0 ? data[0] % 64 : 0));
    std::size_t end = units.size();
    while (end > 0 && !lines.Complete())
    {
        const std::size_t length = std::min(end, piece);
        end -= length;
        lines.Prepend(std::string_view(units).substr(end, length));
    }
    Settings fromLines;
    ParseConf(lines.Finish(end == 0), fromLines);
    Check(SettingsFields(fromLines) == SettingsFields(parsed));

    // The whole-number conversion is a stricter reading: where it succeeds, both agree.
    if (const auto whole = ConvertWholeNumber(text))
    {
        Check(ReadNumber(text) == *whole);
    }
    const double number = ReadNumber(text);
    Check(!std::isnan(number));
    if (const auto rounded = RoundToInt32(number))
    {
        Check(std::fabs(static_cast<double>(*rounded) - number) <= 0.5);
    }
    return 0;
}
