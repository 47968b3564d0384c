#include "settings/ConfLines.h"

#include "settings/ConfText.h"
#include "settings/ConfUnits.h"
#include "settings/Settings.h"

#include <cstddef>
#include <optional>
#include <utility>

namespace mirufon
{
namespace
{

// Past this many units a line is scanned eight bytes at a time where it can be.
constexpr std::size_t kLongLine = 32;
// The most bytes one UTF-16 unit of text takes: two in a double-byte code page, three in
// UTF-8. A line of more bytes than this many times the limit is too long whatever it holds.
constexpr std::size_t kMostBytesPerUnit = 3;

} // namespace

class ConfLines::Scanner
{
  public:
    virtual ~Scanner() = default;
    virtual void Prepend(std::string_view bytes) = 0;
    virtual bool Complete() const = 0;
    virtual std::wstring Finish(bool reachedStart) = 0;
};

// The lines of a file of Unit code units (bytes, or UTF-16 units), last first.
template <typename Unit> class ConfLines::Lines final : public ConfLines::Scanner
{
  public:
    using View = std::basic_string_view<Unit>;

    explicit Lines(ConfDecoding decoding) : m_decoding(std::move(decoding)) {}

    void Prepend(std::string_view bytes) override
    {
        if constexpr (sizeof(Unit) == 1)
        {
            PrependUnits(bytes);
        }
        else
        {
            const bool bigEndian = m_decoding.encoding == ConfEncoding::Utf16BigEndian;
            m_units.resize(bytes.size() / 2);
            for (std::size_t i = 0; i < m_units.size(); ++i)
            {
                const auto first = static_cast<unsigned char>(bytes[2 * i]);
                const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
                m_units[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second
                                                             : (second << 8) | first);
            }
            PrependUnits(m_units);
        }
    }

    bool Complete() const override { return m_settledCount == kConfKeyCount; }

    std::wstring Finish(bool reachedStart) override
    {
        if (reachedStart && !m_carryTooLong)
        {
            // The file's first line: no line end before it, so a leading LF is its own.
            m_line.assign(m_carry.rbegin(), m_carry.rend());
            const std::size_t firstEquals = m_line.find(static_cast<Unit>(kConfEquals));
            if (firstEquals != View::npos &&
                m_line.find(static_cast<Unit>(kConfEquals), firstEquals + 1) == View::npos)
            {
                Offer(m_line, firstEquals);
            }
        }
        std::wstring text;
        for (const std::wstring& line : m_found)
        {
            if (!line.empty())
            {
                text += line;
                text += L"\r\n";
            }
        }
        return text;
    }

  private:
    static constexpr std::size_t kLongestLineUnits =
        sizeof(Unit) == 1 ? kLongestConfLine * kMostBytesPerUnit : kLongestConfLine;

    // Lines are taken from the end of the units back to their first CR; the last of them
    // runs on into the start of the line that the units given before began (the carry, kept
    // reversed so that prepending costs only the new units).
    //
    // Each line's units are looked at once, from its end: the scan that finds its start also
    // counts its "=", which rules out most lines before anything else is done with them.
    void PrependUnits(View units)
    {
        std::size_t end = units.size();
        bool runsIntoCarry = true;
        for (;;)
        {
            std::size_t start = end;
            std::size_t equalsCount = 0;
            std::size_t firstEquals = 0;
            for (; start > 0; --start)
            {
                if (end - start >= kLongLine)
                {
                    start = SkipPlainBytes(units, start);
                    if (start == 0)
                    {
                        break;
                    }
                }
                const char16_t unit = UnitValue(units[start - 1]);
                if (unit == kConfCr)
                {
                    break;
                }
                if (unit == kConfEquals)
                {
                    ++equalsCount;
                    firstEquals = start - 1;
                }
            }
            if (start == 0)
            {
                Carry(units.substr(0, end), runsIntoCarry);
                return;
            }
            if (!runsIntoCarry)
            {
                OfferSegment(units.substr(start, end - start), equalsCount, firstEquals - start);
            }
            else if (!m_carryTooLong && end - start + m_carry.size() <= kLongestLineUnits + 1)
            {
                m_line.assign(units.substr(start, end - start));
                m_line.append(m_carry.rbegin(), m_carry.rend());
                OfferSegment(m_line);
            }
            m_carry.clear();
            m_carryTooLong = false;
            runsIntoCarry = false;
            end = start - 1;
        }
    }

    // Units before the first CR of what was given: the start of a line whose beginning is not
    // known yet.
    void Carry(View head, bool runsIntoCarry)
    {
        if (!runsIntoCarry)
        {
            m_carry.clear();
            m_carryTooLong = false;
        }
        if (m_carryTooLong || m_carry.size() + head.size() > kLongestLineUnits + 1)
        {
            m_carry.clear();
            m_carryTooLong = true;
            return;
        }
        m_carry.append(head.rbegin(), head.rend());
    }

    // Where a backward scan from end goes on: past eight bytes at a time that hold neither CR
    // nor "=", most of a long line.
    static std::size_t SkipPlainBytes(View units, std::size_t end)
    {
        if constexpr (sizeof(Unit) == 1)
        {
            while (end >= 8 && !HoldsEither(units.data() + end - 8, kConfCr, kConfEquals))
            {
                end -= 8;
            }
        }
        return end;
    }

    // The units between a CR and the next: an LF right after the CR belongs to the line end.
    void OfferSegment(View segment)
    {
        const std::size_t firstEquals = segment.find(static_cast<Unit>(kConfEquals));
        const std::size_t equalsCount =
            firstEquals == View::npos
                ? 0
                : (segment.find(static_cast<Unit>(kConfEquals), firstEquals + 1) == View::npos ? 1
                                                                                               : 2);
        OfferSegment(segment, equalsCount, firstEquals);
    }

    void OfferSegment(View segment, std::size_t equalsCount, std::size_t firstEquals)
    {
        // Only a line with one "=", and a key before it, can set anything.
        if (equalsCount != 1 || firstEquals < KeyLengthsOfNames().shortest || Complete())
        {
            return;
        }
        if (!segment.empty() && UnitValue(segment.front()) == kConfLf)
        {
            segment.remove_prefix(1);
            --firstEquals;
        }
        Offer(segment, firstEquals);
    }

    // A line that can settle a key is decoded and checked as ParseConf reads it; every test
    // before that is made on the units, so that the many lines that cannot matter cost little.
    void Offer(View line, std::size_t equals)
    {
        if (line.size() > kLongestLineUnits)
        {
            return;
        }
        const std::optional<std::size_t> key = RememberedKeyOf(line.substr(0, equals));
        if (!key || m_settled[*key] || Characters(line) > kLongestConfLine)
        {
            return;
        }
        View value = line.substr(equals + 1);
        while (!value.empty() && UnitValue(value.front()) == kConfSpace)
        {
            value.remove_prefix(1);
        }
        if (!MayTakeValue(*key, value))
        {
            return;
        }
        std::wstring decoded = Decode(line);
        if (!ApplyConfLine(decoded, m_scratch))
        {
            return;
        }
        m_found[*key] = std::move(decoded);
        m_settled[*key] = true;
        ++m_settledCount;
    }

    // Large files repeat their lines: the key of the last part before "=" is kept.
    std::optional<std::size_t> RememberedKeyOf(View part)
    {
        if (part.size() > kKeyRoom)
        {
            return KeyOf(part);
        }
        if (!m_remembered || part != View(m_lastPart))
        {
            m_lastKey = KeyOf(part);
            m_lastPart.assign(part);
            m_remembered = true;
        }
        return m_lastKey;
    }

    // Text is taken unless its line would be written back too long. A number reads the same
    // from the units as from the text: digits, signs, points and spaces are single units in
    // every encoding read here, and any other unit ends a number as its character would.
    bool MayTakeValue(std::size_t key, View value)
    {
        if (IsTextConfKey(key))
        {
            return ConfKeyNameLength(key) + 3 + Characters(value) <= kLongestConfLine;
        }
        m_widened.resize(value.size());
        for (std::size_t i = 0; i < value.size(); ++i)
        {
            m_widened[i] = static_cast<wchar_t>(UnitValue(value[i]));
        }
        return ApplyConfValue(key, m_widened, m_scratch);
    }

    // The characters the units decode to: exact for UTF-8 and UTF-16, at least this many in a
    // code page (where a lead byte makes one character with whatever byte follows it).
    std::size_t Characters(View units) const
    {
        if constexpr (sizeof(Unit) == 2)
        {
            return units.size();
        }
        std::size_t count = 0;
        for (std::size_t i = 0; i < units.size(); ++i, ++count)
        {
            const auto byte = static_cast<unsigned char>(units[i]);
            if (m_decoding.encoding != ConfEncoding::Ansi)
            {
                // A continuation byte adds nothing; a four-byte sequence is two UTF-16 units.
                count -= (byte & 0xC0) == 0x80 ? 1 : 0;
                count += byte >= 0xF0 ? 1 : 0;
            }
            else if (m_decoding.leadBytes[byte] && i + 1 < units.size())
            {
                ++i;
            }
        }
        return count;
    }

    std::wstring Decode(View units) const
    {
        if constexpr (sizeof(Unit) == 2)
        {
            return WideFromUtf16(units);
        }
        else
        {
            return m_decoding.decode ? m_decoding.decode(units) : std::wstring();
        }
    }

    ConfDecoding m_decoding;
    std::basic_string<Unit> m_units;
    std::basic_string<Unit> m_line;
    // The start of the line that the units given last run into, reversed, unless it is too
    // long already.
    std::basic_string<Unit> m_carry;
    bool m_carryTooLong = false;
    std::wstring m_widened;
    std::basic_string<Unit> m_lastPart;
    std::optional<std::size_t> m_lastKey;
    bool m_remembered = false;
    // Where the values are tried; the settings themselves come from ParseConf on the lines.
    Settings m_scratch;
    std::array<std::wstring, kConfKeyCount> m_found;
    std::array<bool, kConfKeyCount> m_settled{};
    std::size_t m_settledCount = 0;
};

ConfLines::ConfLines(ConfDecoding decoding)
{
    const bool utf16 = decoding.encoding == ConfEncoding::Utf16LittleEndian ||
                       decoding.encoding == ConfEncoding::Utf16BigEndian;
    if (utf16)
    {
        m_scanner = std::make_unique<Lines<char16_t>>(std::move(decoding));
    }
    else
    {
        m_scanner = std::make_unique<Lines<char>>(std::move(decoding));
    }
}

ConfLines::~ConfLines() = default;

void ConfLines::Prepend(std::string_view bytes)
{
    m_scanner->Prepend(bytes);
}

bool ConfLines::Complete() const
{
    return m_scanner->Complete();
}

std::wstring ConfLines::Finish(bool reachedStart)
{
    return m_scanner->Finish(reachedStart);
}

} // namespace mirufon
