#pragma once

#include "platform/JournalStore.h"
#include "platform/win32/storage/LatestTextWriter.h"

#include <mutex>
#include <string>

namespace mirufon::win32
{

// The journal as a UTF-8 file, mirufon-journal.txt, in its folder, which is created (with its
// parent) when missing. When no file can be created there, the journal is off and every call
// does nothing. A journal that an earlier version left in its own folder is taken over at the
// read, to be offered like any other; while the folder in use holds a journal of its own, the
// earlier one waits for a later start.
class Win32JournalStore final : public JournalStore
{
  public:
    explicit Win32JournalStore(const std::wstring& folder,
                               std::wstring earlierFolder = std::wstring());
    Win32JournalStore(const Win32JournalStore&) = delete;
    Win32JournalStore& operator=(const Win32JournalStore&) = delete;
    ~Win32JournalStore() override;

    // The folder in use; empty when the journal is off.
    const std::wstring& Folder() const { return m_folder; }

    std::optional<std::wstring> Read() override;
    void WriteLater(std::wstring text) override;
    void StopWriter() override;
    bool Write(std::wstring_view text) override;
    void Remove() override;
    bool SetAside(const std::wstring& name) override;

  private:
    bool WriteFile(std::wstring_view text);
    void TakeOverEarlierJournal();

    std::wstring m_folder;
    std::wstring m_earlierFolder;
    std::wstring m_path;
    std::wstring m_temporary;
    // The writer's thread and the calling thread never write at once.
    std::mutex m_fileMutex;
    // Last: its thread uses everything above.
    LatestTextWriter m_writer;
};

} // namespace mirufon::win32
