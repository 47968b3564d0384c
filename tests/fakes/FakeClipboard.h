#pragma once

#include "platform/Clipboard.h"

#include <optional>
#include <string>
#include <vector>

namespace mirufon
{

// The clipboard as the main window sees it: the foreground window and the availability of text
// are scripted; reads and emptying only start, and the test ends a read through whoever
// started it. Listening, reads and emptying are written to the journal when one is given.
class FakeClipboard final : public Clipboard
{
  public:
    explicit FakeClipboard(std::vector<std::string>* journal = nullptr) : m_journal(journal) {}

    WindowId foreground = 0x400;
    bool textAvailable = true;
    bool listening = false;
    int reads = 0;
    int empties = 0;
    // What the next reads give at once when they cannot start; nothing while they can.
    std::optional<ClipboardRead> cannotStart;

    void StartListening() override
    {
        listening = true;
        Note("listen");
    }
    void StopListening() override
    {
        listening = false;
        Note("stop listening");
    }
    WindowId Foreground() override { return foreground; }
    bool TextAvailable() override { return textAvailable; }
    std::optional<ClipboardRead> StartRead() override
    {
        ++reads;
        Note("read clipboard");
        return cannotStart;
    }
    void StartEmpty() override
    {
        ++empties;
        Note("empty clipboard");
    }

  private:
    void Note(const char* what)
    {
        if (m_journal)
        {
            m_journal->push_back(what);
        }
    }

    std::vector<std::string>* m_journal;
};

} // namespace mirufon
