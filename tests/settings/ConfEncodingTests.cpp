#include "settings/ConfEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace mirufon
{
namespace
{

ConfEncoding DetectConfEncoding(std::string_view bytes)
{
    ConfEncodingDetector detector;
    detector.Feed(bytes);
    return detector.Result();
}

TEST(ConfEncodingTest, MarksDecideAndUnmarkedUtf8NeedsAThreeByteSequence)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        ConfEncoding expected;
    };
    const Case cases[] = {
        {"empty", "", ConfEncoding::Ansi},
        {"ASCII only", "key get name = Q\r\n", ConfEncoding::Ansi},
        {"UTF-8 mark", "\xEF\xBB\xBFkey get name = Q\r\n", ConfEncoding::Utf8WithMark},
        {"UTF-8 mark alone", "\xEF\xBB\xBF", ConfEncoding::Utf8WithMark},
        {"UTF-16 LE mark", "\xFF\xFEk\0", ConfEncoding::Utf16LittleEndian},
        {"UTF-16 BE mark", "\xFE\xFF\0k", ConfEncoding::Utf16BigEndian},
        // 左上隅 in UTF-8 and in code page 932.
        {"Japanese in UTF-8", "disp pos = \xE5\xB7\xA6\xE4\xB8\x8A\xE9\x9A\x85\r\n",
         ConfEncoding::Utf8},
        {"Japanese in CP932", "disp pos = \x8D\xB6\x8F\xE3\x8B\xF7\r\n", ConfEncoding::Ansi},
        // ﾃｽﾄｱ in code page 932 (C3 BD C4 B1) is well-formed two-byte UTF-8 (ýı).
        {"CP932 half-width katakana", "search string = \xC3\xBD\xC4\xB1\r\n", ConfEncoding::Ansi},
        {"katakana beside UTF-8 Japanese", "\xC3\xBD \xE5\xB7\xA6", ConfEncoding::Utf8},
        {"one bad byte spoils it", "\xE5\xB7\xA6 \xFF", ConfEncoding::Ansi},
        {"truncated at the end", "\xE5\xB7\xA6 \xE4\xB8", ConfEncoding::Ansi},
        {"overlong form", "\xE5\xB7\xA6 \xE0\x80\xAF", ConfEncoding::Ansi},
        {"surrogate", "\xE5\xB7\xA6 \xED\xA0\x80", ConfEncoding::Ansi},
        {"beyond U+10FFFF", "\xE5\xB7\xA6 \xF4\x90\x80\x80", ConfEncoding::Ansi},
        {"four bytes alone", "\xF0\x9F\x98\x80", ConfEncoding::Ansi},
        {"four bytes with Japanese", "\xF0\x9F\x98\x80\xE5\xB7\xA6", ConfEncoding::Utf8},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(DetectConfEncoding(c.bytes), c.expected) << c.what;
    }
    // Each mark is given back for writing; the unmarked encodings have none.
    for (const Case& c : cases)
    {
        const std::string_view mark = ByteOrderMark(DetectConfEncoding(c.bytes));
        EXPECT_EQ(std::string_view(c.bytes).substr(0, mark.size()), mark) << c.what;
    }
    EXPECT_TRUE(ByteOrderMark(ConfEncoding::Utf8).empty());
    EXPECT_TRUE(ByteOrderMark(ConfEncoding::Ansi).empty());
}

// ANSI stays ANSI while it holds every character; what it cannot hold goes to UTF-8 with a mark.
// A file found in UTF-8 or UTF-16 keeps its encoding either way.
TEST(ConfEncodingTest, AnsiThatWouldLoseCharactersIsWrittenAsUtf8WithAMark)
{
    EXPECT_EQ(EncodingToWrite(ConfEncoding::Ansi, true), ConfEncoding::Ansi);
    EXPECT_EQ(EncodingToWrite(ConfEncoding::Ansi, false), ConfEncoding::Utf8WithMark);
    for (const ConfEncoding kept : {ConfEncoding::Utf8, ConfEncoding::Utf8WithMark,
                                    ConfEncoding::Utf16LittleEndian, ConfEncoding::Utf16BigEndian})
    {
        EXPECT_EQ(EncodingToWrite(kept, false), kept);
        EXPECT_EQ(EncodingToWrite(kept, true), kept);
    }
}

} // namespace
} // namespace mirufon
