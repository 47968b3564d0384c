#include "fakes/FakeHotKeyApi.h"
#include "fakes/FakeServices.h"
#include "hotkeys/HotKeys.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>
#include <vector>

namespace mirufon
{
namespace
{

class HotKeyDispatcherTest : public ::testing::Test
{
  protected:
    HotKeyDispatcherTest() { m_hotKeys.Register(Settings{}, true); }

    std::int32_t Id(HotKeyCommand command) const
    {
        return m_hotKeys.Ids()[static_cast<std::size_t>(command)];
    }
    std::function<void(HotKeyCommand)> Record()
    {
        return [this](HotKeyCommand command) { m_ran.push_back(command); };
    }

    FakeHotKeyApi m_api;
    HotKeyManager m_hotKeys{m_api};
    FakeClock m_clock;
    HotKeyDispatcher m_dispatcher{m_api, m_clock};
    std::vector<HotKeyCommand> m_ran;
};

TEST_F(HotKeyDispatcherTest, RunsOnlyMatchedHotKeys)
{
    m_dispatcher.OnHotKey(Id(HotKeyCommand::CancelLast), m_hotKeys, Record());
    m_dispatcher.OnHotKey(0, m_hotKeys, Record());
    m_dispatcher.OnHotKey(12345, m_hotKeys, Record());
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::CancelLast}));
}

TEST_F(HotKeyDispatcherTest, HotKeyDuringACommandIsNotRun)
{
    m_dispatcher.OnHotKey(Id(HotKeyCommand::CaptureName), m_hotKeys,
                          [this](HotKeyCommand command)
                          {
                              m_ran.push_back(command);
                              // A message pumped while the command runs.
                              m_dispatcher.OnHotKey(Id(HotKeyCommand::CaptureValue), m_hotKeys,
                                                    Record());
                          });
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::CaptureName}));

    // Once the command has returned, the next hotkey runs normally.
    m_dispatcher.OnHotKey(Id(HotKeyCommand::CaptureValue), m_hotKeys, Record());
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::CaptureName,
                                                 HotKeyCommand::CaptureValue}));
}

TEST_F(HotKeyDispatcherTest, ThrowingCommandReleasesTheGuard)
{
    EXPECT_THROW(m_dispatcher.OnHotKey(Id(HotKeyCommand::StopResume), m_hotKeys,
                                       [](HotKeyCommand) { throw std::runtime_error("x"); }),
                 std::runtime_error);
    m_dispatcher.OnHotKey(Id(HotKeyCommand::StopResume), m_hotKeys, Record());
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::StopResume}));
}

// Wine repeats a hotkey while its key is held: a command runs once per press, and a press
// after the key was seen released, whose key is already up when it is handled, or that comes
// sooner after the last than a keyboard starts to repeat, runs again. Wine may read a key up
// for a moment after it went down: such a reading is no release.
TEST_F(HotKeyDispatcherTest, AHeldKeyRunsItsCommandOnce)
{
    // P the key goes down with WM_HOTKEY, H WM_HOTKEY alone (a repeat, or a late message),
    // D the key reads down, U it reads up, W kShortestRepeatDelayMs pass, C the watch looks.
    static_assert(kShortestRepeatDelayMs >= kKeyStateLagMs);
    const std::pair<const char*, std::size_t> cases[] = {
        {"PWHCH", 1}, {"PUWCPWH", 2}, {"PUCDWH", 1}, {"PUH", 2}, {"PP", 2}};
    for (const auto& [steps, runs] : cases)
    {
        HotKeyDispatcher dispatcher(m_api, m_clock);
        const unsigned key = *m_hotKeys.KeyOf(HotKeyCommand::CancelLast);
        m_ran.clear();
        for (const char step : std::string_view(steps))
        {
            if (step == 'P' || step == 'D' || step == 'U')
            {
                m_api.keysDown = {step == 'U' ? 0 : key};
            }
            if (step == 'P' || step == 'H')
            {
                dispatcher.OnHotKey(Id(HotKeyCommand::CancelLast), m_hotKeys, Record());
            }
            m_clock.now += step == 'W' ? kShortestRepeatDelayMs : 0;
            if (step == 'C')
            {
                dispatcher.CheckReleases();
            }
        }
        EXPECT_EQ(m_ran.size(), runs) << steps;
    }
}

} // namespace
} // namespace mirufon
