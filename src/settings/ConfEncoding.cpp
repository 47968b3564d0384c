#include "settings/ConfEncoding.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mirufon
{
namespace
{

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

bool StartsWith(std::string_view bytes, std::string_view mark)
{
    return bytes.substr(0, mark.size()) == mark;
}

std::uint8_t ByteAt(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint8_t>(bytes[at]);
}

bool IsContinuation(std::uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

bool IsAscii(std::string_view eight)
{
    std::uint64_t word = 0;
    std::memcpy(&word, eight.data(), sizeof word);
    return (word & 0x8080808080808080ULL) == 0;
}

// The length of the sequence a lead byte starts, 0 for a byte that starts none.
std::size_t SequenceLength(std::uint8_t lead)
{
    if (lead < 0x80)
    {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF)
    {
        return 3;
    }
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// Whether the complete sequence is well-formed: no overlong forms, no surrogates, nothing
// above U+10FFFF.
bool IsWellFormed(const std::uint8_t* sequence, std::size_t length)
{
    const std::uint8_t lead = sequence[0];
    if (length == 1)
    {
        return true;
    }
    const std::uint8_t secondLow = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const std::uint8_t secondHigh = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (sequence[1] < secondLow || sequence[1] > secondHigh)
    {
        return false;
    }
    for (std::size_t i = 2; i < length; ++i)
    {
        if (!IsContinuation(sequence[i]))
        {
            return false;
        }
    }
    return true;
}

const std::uint8_t* Bytes(std::string_view text)
{
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

} // namespace

void ConfEncodingDetector::Feed(std::string_view bytes)
{
    if (m_start.size() < kUtf8Mark.size())
    {
        m_start.append(bytes.substr(0, kUtf8Mark.size() - m_start.size()));
    }
    m_seen += bytes.size();
    if (!Decided())
    {
        CheckUtf8(bytes);
    }
}

void ConfEncodingDetector::CheckUtf8(std::string_view bytes)
{
    // A sequence cut by the end of the last piece is completed first.
    while (!m_pending.empty() && !bytes.empty() &&
           m_pending.size() < SequenceLength(ByteAt(m_pending, 0)))
    {
        m_pending.push_back(bytes.front());
        bytes.remove_prefix(1);
    }
    if (!m_pending.empty() && m_pending.size() == SequenceLength(ByteAt(m_pending, 0)))
    {
        m_invalidUtf8 = !IsWellFormed(Bytes(m_pending), m_pending.size());
        m_threeByteSequence = m_threeByteSequence || m_pending.size() == 3;
        m_pending.clear();
    }
    const std::uint8_t* at = Bytes(bytes);
    const std::uint8_t* const end = at + bytes.size();
    while (at < end && !m_invalidUtf8)
    {
        // ASCII, eight bytes at a time: most of any large file.
        if (end - at >= 8 && IsAscii(std::string_view(reinterpret_cast<const char*>(at), 8)))
        {
            at += 8;
            continue;
        }
        const std::size_t length = SequenceLength(*at);
        if (length == 0)
        {
            m_invalidUtf8 = true;
            break;
        }
        if (static_cast<std::size_t>(end - at) < length)
        {
            m_pending.assign(reinterpret_cast<const char*>(at), static_cast<std::size_t>(end - at));
            break;
        }
        m_invalidUtf8 = !IsWellFormed(at, length);
        m_threeByteSequence = m_threeByteSequence || length == 3;
        at += length;
    }
}

bool ConfEncodingDetector::Decided() const
{
    return m_invalidUtf8 || Result() == ConfEncoding::Utf8WithMark ||
           Result() == ConfEncoding::Utf16LittleEndian || Result() == ConfEncoding::Utf16BigEndian;
}

ConfEncoding ConfEncodingDetector::Result() const
{
    if (StartsWith(m_start, kUtf8Mark))
    {
        return ConfEncoding::Utf8WithMark;
    }
    if (StartsWith(m_start, kUtf16LittleEndianMark))
    {
        return ConfEncoding::Utf16LittleEndian;
    }
    if (StartsWith(m_start, kUtf16BigEndianMark))
    {
        return ConfEncoding::Utf16BigEndian;
    }
    const bool utf8 = !m_invalidUtf8 && m_pending.empty() && m_threeByteSequence;
    return utf8 ? ConfEncoding::Utf8 : ConfEncoding::Ansi;
}

ConfEncoding EncodingToWrite(ConfEncoding readIn, bool ansiHoldsText)
{
    return readIn == ConfEncoding::Ansi && !ansiHoldsText ? ConfEncoding::Utf8WithMark : readIn;
}

std::string_view ByteOrderMark(ConfEncoding encoding)
{
    switch (encoding)
    {
    case ConfEncoding::Utf8WithMark:
        return kUtf8Mark;
    case ConfEncoding::Utf16LittleEndian:
        return kUtf16LittleEndianMark;
    case ConfEncoding::Utf16BigEndian:
        return kUtf16BigEndianMark;
    case ConfEncoding::Ansi:
    case ConfEncoding::Utf8:
        break;
    }
    return {};
}

} // namespace mirufon
