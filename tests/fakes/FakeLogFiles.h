#pragma once

#include "fakes/FakeServices.h"
#include "platform/JournalStore.h"
#include "platform/LogFiles.h"

#include <optional>
#include <string>
#include <vector>

namespace mirufon
{

// The journal in memory. Writes handed to the writer are kept in order; every call goes into
// the shared journal of calls.
class FakeJournalStore final : public JournalStore
{
  public:
    explicit FakeJournalStore(std::vector<std::string>* journal) : m_journal(journal) {}

    std::optional<std::wstring> text; // the journal on "disk"
    std::vector<std::wstring> queued; // texts handed to the writer
    bool refuseSetAside = false;
    std::vector<std::wstring> setAside; // names it was kept under

    std::optional<std::wstring> Read() override
    {
        m_journal.Note("journal read");
        return text;
    }
    void WriteLater(std::wstring content) override
    {
        m_journal.Note("journal write later");
        queued.push_back(content);
        text = std::move(content);
    }
    void StopWriter() override { m_journal.Note("journal stop"); }
    bool Write(std::wstring_view content) override
    {
        m_journal.Note("journal write");
        text = std::wstring(content);
        return true;
    }
    void Remove() override
    {
        m_journal.Note("journal remove");
        text.reset();
    }
    bool SetAside(const std::wstring& name) override
    {
        m_journal.Note("journal set aside");
        if (refuseSetAside)
        {
            return false;
        }
        setAside.push_back(name);
        text.reset();
        return true;
    }

  private:
    Journal m_journal;
};

// Saved files in memory, at a fixed local time; a save can be made to fail.
class FakeLogFiles final : public LogFiles
{
  public:
    LocalTime now{2024, 3, 9, 7, 5, 2};
    std::optional<std::wstring> failWith;
    std::vector<std::wstring> saved; // path + "|" + text

    LocalTime Now() const override { return now; }
    StoreWrite Save(const std::wstring& path, std::wstring_view text) override
    {
        if (failWith)
        {
            return StoreWrite{false, *failWith};
        }
        saved.push_back(path + L"|" + std::wstring(text));
        return StoreWrite{true, {}};
    }
};

} // namespace mirufon
