#include "platform/win32/storage/Win32JournalStore.h"

#include "platform/win32/storage/FileContents.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "platform/win32/storage/TextCodec.h"
#include "platform/win32/window/SystemMessage.h"
#include "shell/LogFileNames.h"

#include <utility>

namespace mirufon::win32
{
namespace
{

constexpr wchar_t kJournalName[] = L"mirufon-journal.txt";
constexpr wchar_t kTemporaryName[] = L"mirufon-journal.tmp";
// Set-aside names tried with a number before giving up.
constexpr int kMostSetAsideTries = 100;

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder, created with its parent when missing; empty when no file can be created in it.
std::wstring PrepareFolder(const std::wstring& folder)
{
    if (folder.empty())
    {
        return {};
    }
    ::CreateDirectoryW(FolderOf(folder).c_str(), nullptr);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    // A file of that name is no folder.
    if (IsFolder(folder) && CanCreateFilesIn(folder))
    {
        return folder;
    }
    ReportFailure(L"no folder for the journal", ::GetLastError());
    return {};
}

// "name.txt", "name-2.txt", "name-3.txt", ...
std::wstring Numbered(const std::wstring& name, int number)
{
    if (number < 2)
    {
        return name;
    }
    const std::size_t dot = name.find_last_of(L'.');
    const std::size_t stem = dot == std::wstring::npos ? name.size() : dot;
    return name.substr(0, stem) + L"-" + std::to_wstring(number) + name.substr(stem);
}

} // namespace

Win32JournalStore::Win32JournalStore(const std::wstring& folder, std::wstring earlierFolder)
    : m_folder(PrepareFolder(folder)), m_earlierFolder(std::move(earlierFolder)),
      m_path(m_folder.empty() ? std::wstring() : m_folder + L"\\" + kJournalName),
      m_temporary(m_folder.empty() ? std::wstring() : m_folder + L"\\" + kTemporaryName),
      m_writer([this](const std::wstring& text) { return WriteFile(text); })
{
}

Win32JournalStore::~Win32JournalStore()
{
    m_writer.Stop();
}

std::optional<std::wstring> Win32JournalStore::Read()
{
    if (m_folder.empty())
    {
        return std::nullopt;
    }
    TakeOverEarlierJournal();
    const std::optional<std::string> bytes = ReadWholeFile(m_path);
    if (!bytes)
    {
        return std::nullopt;
    }
    return FromUtf8(*bytes);
}

// Moved, never copied: a journal left in both places would be offered twice. The earlier
// folder goes when nothing else is in it; the temporary file of a write that was cut short
// goes with it, as the journal itself is the last complete write.
void Win32JournalStore::TakeOverEarlierJournal()
{
    if (m_earlierFolder.empty() || m_earlierFolder == m_folder)
    {
        return;
    }
    const std::wstring earlier = m_earlierFolder + L"\\" + kJournalName;
    ::MoveFileExW(earlier.c_str(), m_path.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);
    ::DeleteFileW((m_earlierFolder + L"\\" + kTemporaryName).c_str());
    ::RemoveDirectoryW(m_earlierFolder.c_str());
}

void Win32JournalStore::WriteLater(std::wstring text)
{
    if (!m_folder.empty())
    {
        m_writer.Post(std::move(text));
    }
}

void Win32JournalStore::StopWriter()
{
    m_writer.Stop();
}

bool Win32JournalStore::Write(std::wstring_view text)
{
    return m_folder.empty() || WriteFile(text);
}

bool Win32JournalStore::WriteFile(std::wstring_view text)
{
    const std::lock_guard lock(m_fileMutex);
    if (text.empty())
    {
        // Nothing to recover: no file.
        return ::DeleteFileW(m_path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    const DWORD error = ReplaceFileWith(m_path, m_temporary, Utf8WithBom(text));
    if (error != ERROR_SUCCESS)
    {
        ReportFailure(L"the journal could not be written", error);
        return false;
    }
    return true;
}

void Win32JournalStore::Remove()
{
    if (m_folder.empty())
    {
        return;
    }
    const std::lock_guard lock(m_fileMutex);
    ::DeleteFileW(m_path.c_str());
    ::DeleteFileW(m_temporary.c_str());
    // The folder and its parent go too when nothing else is in them (kept journals stay with
    // the folder, Conf.txt with the parent).
    ::RemoveDirectoryW(m_folder.c_str());
    ::RemoveDirectoryW(FolderOf(m_folder).c_str());
}

bool Win32JournalStore::SetAside(const std::wstring& name)
{
    if (m_folder.empty())
    {
        return true;
    }
    const std::lock_guard lock(m_fileMutex);
    for (int number = 1; number <= kMostSetAsideTries; ++number)
    {
        const std::wstring target = m_folder + L"\\" + Numbered(name, number);
        if (::MoveFileExW(m_path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
        {
            return true;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
        {
            ReportFailure(L"the journal could not be set aside", error);
            return false;
        }
    }
    return false;
}

} // namespace mirufon::win32
