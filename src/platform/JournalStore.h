#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mirufon
{

// The journal: a file that mirrors the log while the program runs, so that a crash, a power
// cut or Windows restarting does not lose it. Every write replaces the file whole: a reader
// finds the old text or the new one, never a part. An empty text leaves no file, as there is
// nothing to recover. A store that found no folder to write in does nothing at all.
class JournalStore
{
  public:
    JournalStore() = default;
    JournalStore(const JournalStore&) = delete;
    JournalStore& operator=(const JournalStore&) = delete;
    virtual ~JournalStore() = default;

    // The journal an earlier run left; nothing when there is none.
    virtual std::optional<std::wstring> Read() = 0;
    // Hands the text to the writer, which writes it off the calling thread. A text still
    // waiting for the writer is replaced by the newer one.
    virtual void WriteLater(std::wstring text) = 0;
    // Ends the writer: a write in progress finishes, a text still waiting is dropped.
    virtual void StopWriter() = 0;
    // Writes the text now, on the calling thread; false when it could not be written.
    virtual bool Write(std::wstring_view text) = 0;
    // Removes the journal.
    virtual void Remove() = 0;
    // Keeps the journal under another name in its folder, out of the way of the next writes;
    // false when it could not be renamed (it is then still the journal).
    virtual bool SetAside(const std::wstring& name) = 0;
};

} // namespace mirufon
