#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mirufon
{

// The outcome of replacing the file: ok, or the system's description of why it failed.
struct StoreWrite
{
    bool ok = false;
    std::wstring error;
};

// Conf.txt on disk, in the system's ANSI code page unless it was found in UTF-8 or UTF-16 or
// holds characters the code page lacks; the program sees Unicode text.
class ConfStore
{
  public:
    ConfStore() = default;
    ConfStore(const ConfStore&) = delete;
    ConfStore& operator=(const ConfStore&) = delete;
    virtual ~ConfStore() = default;

    // The file's text, decoded from the encoding its bytes show, or only the lines of it that
    // settings are taken from: ParseConf reads the same from both (see ConfLines). Nothing
    // when no ordinary file exists (a directory, a hidden or a system file counts as absent).
    // A read that fails part way gives what was read up to that point. The temporary file of
    // a save that was interrupted before it replaced the file is removed first.
    virtual std::optional<std::wstring> Read() = 0;
    // Replaces the file with the text in the encoding the last Read found (with the same
    // byte-order mark), or in the ANSI code page when there was no file; text that the ANSI
    // code page cannot hold whole is written in UTF-8 with a byte-order mark instead (see
    // EncodingToWrite). The old file stays whole unless the new one was written completely.
    virtual StoreWrite Write(std::wstring_view text) = 0;
};

} // namespace mirufon
