#include "settings/ConfLines.h"
#include "settings/ConfText.h"
#include "settings/ConfUnits.h"
#include "settings/SettingsFields.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace mirufon
{
namespace
{

// A double-byte code page for the tests: 0x81 to 0x9F lead, and with a byte from 0x40 up they
// make one character; every other byte is a character of its own.
constexpr unsigned char kFirstLead = 0x81;
constexpr unsigned char kLastLead = 0x9F;

std::wstring DecodeTestCodePage(std::string_view bytes)
{
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const bool lead = byte >= kFirstLead && byte <= kLastLead;
        if (lead && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) >= 0x40)
        {
            text.push_back(static_cast<wchar_t>(0x4E00 + (byte << 8) +
                                                static_cast<unsigned char>(bytes[++i])));
        }
        else
        {
            text.push_back(byte < 0x80 ? static_cast<wchar_t>(byte)
                                       : static_cast<wchar_t>(0xFF00 + byte - 0x80));
        }
    }
    return text;
}

std::wstring DecodeUtf8(std::string_view bytes)
{
    std::u16string units;
    for (std::size_t i = 0; i < bytes.size();)
    {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k)
        {
            code = (code << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        }
        i += length;
        if (code >= 0x10000)
        {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        }
        else
        {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return WideFromUtf16(units);
}

ConfDecoding Decoding(ConfEncoding encoding)
{
    ConfDecoding decoding;
    decoding.encoding = encoding;
    decoding.decode = encoding == ConfEncoding::Ansi ? &DecodeTestCodePage : &DecodeUtf8;
    for (unsigned byte = kFirstLead; byte <= kLastLead; ++byte)
    {
        decoding.leadBytes[byte] = true;
    }
    return decoding;
}

// The file's text as the whole file decodes.
std::wstring WholeText(const std::string& bytes, ConfEncoding encoding)
{
    if (encoding == ConfEncoding::Utf16LittleEndian || encoding == ConfEncoding::Utf16BigEndian)
    {
        std::u16string units;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        {
            const auto first = static_cast<unsigned char>(bytes[i]);
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            units.push_back(static_cast<char16_t>(encoding == ConfEncoding::Utf16BigEndian
                                                      ? (first << 8) | second
                                                      : (second << 8) | first));
        }
        return WideFromUtf16(units);
    }
    return Decoding(encoding).decode(bytes);
}

// The file given from its end in pieces of the given sizes (whole units for UTF-16).
std::wstring LinesOf(const std::string& bytes, ConfEncoding encoding,
                     const std::vector<std::size_t>& pieces)
{
    ConfLines lines(Decoding(encoding));
    std::size_t end = bytes.size();
    for (std::size_t i = 0; end > 0 && !lines.Complete(); ++i)
    {
        const std::size_t length = std::min(end, pieces[i % pieces.size()]);
        end -= length;
        lines.Prepend(std::string_view(bytes).substr(end, length));
    }
    return lines.Finish(end == 0);
}

Settings Parsed(const std::wstring& text)
{
    Settings settings;
    ParseConf(text, settings);
    return settings;
}

// Pieces of a file: lines of known and unknown keys with values of every kind, lines with two
// "=", long lines around the limits, and every kind of line end.
class RandomConf
{
  public:
    explicit RandomConf(unsigned seed) : m_random(seed) {}

    std::string File(ConfEncoding encoding)
    {
        std::u16string units;
        const int lines = Pick(40);
        for (int i = 0; i < lines; ++i)
        {
            units += Line();
            const char16_t* ends[] = {u"\r\n", u"\r", u"\n", u"\r\r\n", u""};
            units += ends[Pick(5)];
        }
        return Encode(units, encoding);
    }

  private:
    int Pick(int count) { return static_cast<int>(m_random() % static_cast<unsigned>(count)); }

    std::u16string Line()
    {
        static const char16_t* keys[] = {u"form left",
                                         u"Form Top ",
                                         u"  key get name",
                                         u"disp pos",
                                         u"search string",
                                         u"add copy",
                                         u"custom msg",
                                         u"separate tab",
                                         u"unknown",
                                         u"key modify",
                                         u"                                  time auto close",
                                         u"key get all",
                                         u""};
        static const char16_t* values[] = {u"1500",   u" 12.5 ", u"-3",  u"x",   u"",
                                           u"左上隅", u"ｶﾅ",     u"7円", u"a=b", u"32768",
                                           u"1e3",    u"😀",      u"L"};
        std::u16string line = keys[Pick(13)];
        const char16_t* separators[] = {u" = ", u" = ", u"=", u""};
        line += separators[Pick(4)];
        line += values[Pick(13)];
        if (Pick(10) == 0)
        {
            // Around 4096 characters, and around three times as many bytes.
            const std::size_t lengths[] = {4070, 4080, 4084, 4090, 4096, 4100, 12300};
            line.resize(lengths[Pick(7)], Pick(2) == 0 ? u'x' : u'漢');
        }
        return line;
    }

    static std::string Encode(const std::u16string& units, ConfEncoding encoding)
    {
        std::string bytes;
        for (std::size_t i = 0; i < units.size(); ++i)
        {
            char32_t code = units[i];
            if (code >= 0xD800 && code <= 0xDBFF)
            {
                code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
            }
            AppendCode(bytes, code, encoding);
        }
        return bytes;
    }

    static void AppendCode(std::string& bytes, char32_t code, ConfEncoding encoding)
    {
        if (encoding == ConfEncoding::Ansi)
        {
            // ASCII as itself, anything else as a double-byte character of the test page.
            if (code < 0x80)
            {
                bytes.push_back(static_cast<char>(code));
                return;
            }
            bytes.push_back(static_cast<char>(kFirstLead + code % 31));
            bytes.push_back(static_cast<char>(0x40 + code % 0xBF));
            return;
        }
        if (encoding == ConfEncoding::Utf8)
        {
            AppendUtf8(bytes, code);
            return;
        }
        const auto unit = [&](char16_t u)
        {
            const char high = static_cast<char>(u >> 8);
            const char low = static_cast<char>(u & 0xFF);
            bytes += encoding == ConfEncoding::Utf16BigEndian ? std::string{high, low}
                                                              : std::string{low, high};
        };
        if (code >= 0x10000)
        {
            unit(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            unit(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
            return;
        }
        unit(static_cast<char16_t>(code));
    }

    static void AppendUtf8(std::string& bytes, char32_t code)
    {
        if (code < 0x80)
        {
            bytes.push_back(static_cast<char>(code));
        }
        else if (code < 0x800)
        {
            bytes.push_back(static_cast<char>(0xC0 | (code >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
        else if (code < 0x10000)
        {
            bytes.push_back(static_cast<char>(0xE0 | (code >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
        else
        {
            bytes.push_back(static_cast<char>(0xF0 | (code >> 18)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }

    std::mt19937 m_random;
};

TEST(ConfLinesTest, SettingsFromTheLinesFoundEqualThoseFromTheWholeFile)
{
    const ConfEncoding encodings[] = {ConfEncoding::Ansi, ConfEncoding::Utf8,
                                      ConfEncoding::Utf16LittleEndian,
                                      ConfEncoding::Utf16BigEndian};
    for (unsigned seed = 0; seed < 200; ++seed)
    {
        RandomConf random(seed);
        const ConfEncoding encoding = encodings[seed % 4];
        const std::string file = random.File(encoding);
        const Settings expected = Parsed(WholeText(file, encoding));
        // Pieces that cut lines, line ends and characters anywhere; whole units for UTF-16.
        const std::size_t unit = seed % 4 >= 2 ? 2 : 1;
        for (const std::vector<std::size_t>& pieces : {std::vector<std::size_t>{1u << 20},
                                                       {1 * unit, 97 * unit, 61 * unit},
                                                       {4097 * unit, 13 * unit}})
        {
            const Settings found = Parsed(LinesOf(file, encoding, pieces));
            ASSERT_EQ(SettingsFields(found), SettingsFields(expected))
                << "seed " << seed << ", " << pieces.size() << " piece sizes";
        }
    }
}

TEST(ConfLinesTest, OnlyTheLastLineOfEachKeyIsKeptAndALineCutByAStopIsLeftOut)
{
    const std::string file = "key get name = A\r\nkey get name = Q\r\nform left = 1500\r\n"
                             "form left = x\r\nsearch string = " +
                             std::string(5000, 'y') + "\r\nsearch string = s\r\nkey crlf = R";
    EXPECT_EQ(LinesOf(file, ConfEncoding::Ansi, {1u << 20}),
              L"form left = 1500\r\nsearch string = s\r\nkey get name = Q\r\nkey crlf = R\r\n");

    ConfLines stopped(Decoding(ConfEncoding::Ansi));
    stopped.Prepend("key crlf = R\r\nkey back = D");
    EXPECT_EQ(stopped.Finish(false), L"key back = D\r\n") << "the line cut at the stop is gone";
}

} // namespace
} // namespace mirufon
