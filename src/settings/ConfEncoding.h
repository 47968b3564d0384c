#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mirufon
{

// The encodings Conf.txt is read in and written back in.
enum class ConfEncoding
{
    Ansi,              // the system's ANSI code page (932 on Japanese systems), no mark
    Utf8,              // UTF-8 without a byte-order mark
    Utf8WithMark,      // UTF-8 after EF BB BF
    Utf16LittleEndian, // UTF-16 after FF FE
    Utf16BigEndian,    // UTF-16 after FE FF
};

// The encoding of Conf.txt's bytes, given in pieces in order; Decided as soon as later bytes
// cannot change it. A byte-order mark decides. Without one, the file is UTF-8 when all of it is
// well-formed UTF-8 and it holds at least one three-byte sequence: Japanese text in UTF-8
// cannot do without them, while code page 932 text only passes for UTF-8 by chance, and
// half-width katakana (A1 to DF) easily form two-byte sequences. Anything else, an empty or
// pure ASCII file included, is read in the ANSI code page.
class ConfEncodingDetector
{
  public:
    void Feed(std::string_view bytes);
    bool Decided() const;
    ConfEncoding Result() const;

  private:
    void CheckUtf8(std::string_view bytes);

    std::string m_start;   // the first bytes, until a mark can be told
    std::string m_pending; // a UTF-8 sequence that the next piece completes
    std::size_t m_seen = 0;
    bool m_invalidUtf8 = false;
    bool m_threeByteSequence = false;
};

// The encoding Conf.txt is written in: the one it was read in (ANSI when there was no file),
// except that text the ANSI code page cannot hold whole goes from ANSI to UTF-8 with a
// byte-order mark, which is read back as such: in ANSI the characters the code page lacks
// would be lost on disk.
ConfEncoding EncodingToWrite(ConfEncoding readIn, bool ansiHoldsText);

// The byte-order mark that starts a file in the encoding; empty for ANSI and UTF-8 without one.
std::string_view ByteOrderMark(ConfEncoding encoding);

} // namespace mirufon
