#pragma once

// The controller with every service faked, shared by the controller's tests.

#include "fakes/FakeClipboard.h"
#include "fakes/FakeHotKeyApi.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeTextBox.h"
#include "shell/AppController.h"

#include <string>
#include <vector>

namespace mirufon::controller_test
{

using Steps = std::vector<std::string>;

constexpr WindowId kMain = 0x100;
constexpr WindowId kEditor = 0x400;

inline const Steps kUnregisterAll(6, "hotkey-");

inline Steps Join(Steps a, const Steps& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The controller with every service faked; the view, Conf.txt, the hotkeys, the clipboard and
// the log's journal write what they are asked to do into one journal.
struct App
{
    App()
    {
        m_hotKeyApi.SetJournal(&m_journal);
        m_clipboard.foreground = kEditor;
    }

    void StartWith(const std::wstring& conf)
    {
        m_conf.text = conf;
        m_controller.Start();
    }

    // What happened since the last call.
    Steps Next()
    {
        Steps steps(m_journal.begin() + static_cast<std::ptrdiff_t>(m_seen), m_journal.end());
        m_seen = m_journal.size();
        return steps;
    }

    std::int32_t Id(HotKeyCommand command) const
    {
        for (const auto& [id, combination] : m_hotKeyApi.Live())
        {
            if (combination.second == Key(command))
            {
                return id;
            }
        }
        return 0;
    }

    // What a worker posts for a read, handed to the controller's reads as the window does.
    void EndRead(std::uint64_t id, ReadContent content)
    {
        m_controller.Reads().OnReadOutcome(ReadOutcome{id, std::move(content)});
    }

    static unsigned Key(HotKeyCommand command)
    {
        constexpr unsigned keys[] = {'A', 'Z', 'E', 'B', 'G', 'L'};
        return keys[static_cast<int>(command)];
    }

    std::vector<std::string> m_journal;
    std::size_t m_seen = 0;

    FakeFrame m_frame{&m_journal};
    FakeDialogs m_dialogs{&m_journal};
    FakeTray m_tray{&m_journal};
    FakeTimers m_timers{&m_journal};
    FakeHotKeyApi m_hotKeyApi;
    FakeClipboard m_clipboard{&m_journal};
    FakeConfStore m_conf{&m_journal};
    FakePointerProbe m_pointer;
    FakeReadWorkers m_workers;
    FakeClock m_clock;
    FakeTextBox m_log;
    FakeTextBox m_nameBox;
    FakeTextBox m_valueBox;
    FakeJournalStore m_journalStore{&m_journal};
    FakeLogFiles m_files;
    AppController m_controller{AppServices{
        {m_frame, m_dialogs, m_tray, m_timers, m_timers, m_log, m_nameBox, m_valueBox, kMain},
        {m_hotKeyApi, m_clipboard, m_pointer, m_workers, m_clock},
        {m_conf, m_journalStore, m_files}}};
};

inline const Steps kRegisterAll = {"hotkey+A", "hotkey+Z", "hotkey+E",
                                   "hotkey+B", "hotkey+G", "hotkey+L"};

} // namespace mirufon::controller_test
