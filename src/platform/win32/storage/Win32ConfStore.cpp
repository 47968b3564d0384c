#include "platform/win32/storage/Win32ConfStore.h"

#include "platform/win32/storage/FileContents.h"
#include "platform/win32/storage/TextCodec.h"
#include "platform/win32/window/Handles.h"
#include "platform/win32/window/SystemMessage.h"
#include "settings/ConfLines.h"
#include "shell/LogFileNames.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mirufon::win32
{
namespace
{

bool IsOrdinaryFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
    {
        return false;
    }
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & kNotOrdinary) == 0;
}

// How long a save waits for another program that holds Conf.txt for a moment.
constexpr std::chrono::milliseconds kSavePatience{2000};

// Conf.txt is read in pieces of this size into one buffer: a buffer as large as the file
// would cost more to allocate than the reading itself. Even, so that UTF-16 pieces hold whole
// code units.
constexpr std::uint64_t kPieceBytes = 1 << 20;

// Reads size bytes at the offset; false when they could not all be read.
bool ReadAt(HANDLE file, std::uint64_t offset, char* buffer, DWORD size)
{
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file, position, nullptr, FILE_BEGIN))
    {
        return false;
    }
    DWORD done = 0;
    while (done < size)
    {
        DWORD read = 0;
        if (!::ReadFile(file, buffer + done, size - done, &read, nullptr) || read == 0)
        {
            return false;
        }
        done += read;
    }
    return true;
}

// A mark tells at once; without one the whole file is checked for UTF-8, as far as it can be
// read.
ConfEncoding DetectEncoding(HANDLE file, std::uint64_t size, std::vector<char>& piece)
{
    ConfEncodingDetector detector;
    for (std::uint64_t offset = 0; offset < size && !detector.Decided(); offset += kPieceBytes)
    {
        const auto length = static_cast<DWORD>(std::min(kPieceBytes, size - offset));
        if (!ReadAt(file, offset, piece.data(), length))
        {
            break;
        }
        detector.Feed(std::string_view(piece.data(), length));
    }
    return detector.Result();
}

ConfDecoding DecodingFor(ConfEncoding encoding)
{
    ConfDecoding decoding;
    decoding.encoding = encoding;
    if (encoding != ConfEncoding::Ansi)
    {
        decoding.decode = &Utf8ToWide;
        return decoding;
    }
    decoding.decode = &AnsiToWide;
    CPINFO info{};
    if (::GetCPInfo(CP_ACP, &info))
    {
        for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2)
        {
            for (int byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte)
            {
                decoding.leadBytes[static_cast<std::size_t>(byte)] = true;
            }
        }
    }
    return decoding;
}

// The lines the settings come from, the file read from its end (see ConfLines). A read that
// fails part way gives the lines found up to there.
std::wstring SettingLines(HANDLE file, std::uint64_t size, ConfEncoding encoding,
                          std::vector<char>& piece)
{
    ConfLines lines(DecodingFor(encoding));
    const std::uint64_t start = std::min<std::uint64_t>(ByteOrderMark(encoding).size(), size);
    std::uint64_t end = size;
    const bool utf16 =
        encoding == ConfEncoding::Utf16LittleEndian || encoding == ConfEncoding::Utf16BigEndian;
    if (utf16 && (end - start) % 2 != 0)
    {
        --end; // an odd last byte is no code unit
    }
    while (end > start && !lines.Complete())
    {
        const auto length = static_cast<DWORD>(std::min(kPieceBytes, end - start));
        end -= length;
        if (!ReadAt(file, end, piece.data(), length))
        {
            return lines.Finish(false);
        }
        lines.Prepend(std::string_view(piece.data(), length));
    }
    return lines.Finish(end == start);
}

} // namespace

Win32ConfStore::Win32ConfStore(std::wstring path, std::wstring startingPoint)
    : m_path(std::move(path)), m_startingPoint(std::move(startingPoint))
{
}

std::optional<std::wstring> Win32ConfStore::Read()
{
    // Only one instance runs: a temporary file found now is what a save killed before the
    // replacement left behind, and Conf.txt itself is still the last complete save.
    ::DeleteFileW(TemporaryPath().c_str());
    const std::wstring* source = &m_path;
    if (!IsOrdinaryFile(m_path))
    {
        if (m_startingPoint.empty() || !IsOrdinaryFile(m_startingPoint))
        {
            return std::nullopt;
        }
        source = &m_startingPoint;
    }
    UniqueFile file(::CreateFileW(source->c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size))
    {
        // It exists but cannot be read: start with the values read so far, which is none.
        return std::wstring();
    }
    std::vector<char> piece(kPieceBytes);
    m_encoding = DetectEncoding(file.Get(), static_cast<std::uint64_t>(size.QuadPart), piece);
    return SettingLines(file.Get(), static_cast<std::uint64_t>(size.QuadPart), m_encoding, piece);
}

StoreWrite Win32ConfStore::Write(std::wstring_view text)
{
    const std::optional<std::string> ansi =
        m_encoding == ConfEncoding::Ansi ? WideToAnsiExactly(text) : std::nullopt;
    const ConfEncoding encoding = EncodingToWrite(m_encoding, ansi.has_value());
    // Conf.txt in the local application data folder goes into a folder of the program's own.
    ::CreateDirectoryW(FolderOf(m_path).c_str(), nullptr);
    if (const DWORD error = ReplaceFileWith(
            m_path, TemporaryPath(), ansi ? *ansi : EncodeText(text, encoding), kSavePatience))
    {
        return StoreWrite{false, SystemMessage(error)};
    }
    m_encoding = encoding;
    return StoreWrite{true, {}};
}

} // namespace mirufon::win32
