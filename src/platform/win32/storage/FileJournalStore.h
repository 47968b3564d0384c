#pragma once

#include "platform/JournalStore.h"
#include "platform/win32/storage/LatestTextWriter.h"

#include <mutex>
#include <string>

namespace mirufon::win32
{

// The journal as a UTF-8 file, mirufon-journal.txt, in the first folder where a file can be
// created: Journal in the program's folder, else Mirufon\Journal in the local application
// data folder. The folder is created when missing. With neither, the journal is off and every
// call does nothing.
class FileJournalStore final : public JournalStore
{
  public:
    FileJournalStore(const std::wstring& programFolder, const std::wstring& localAppData);
    FileJournalStore(const FileJournalStore&) = delete;
    FileJournalStore& operator=(const FileJournalStore&) = delete;
    ~FileJournalStore() override;

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

    std::wstring m_folder;
    std::wstring m_path;
    std::wstring m_temporary;
    // The writer's thread and the calling thread never write at once.
    std::mutex m_fileMutex;
    // Last: its thread uses everything above.
    LatestTextWriter m_writer;
};

} // namespace mirufon::win32
