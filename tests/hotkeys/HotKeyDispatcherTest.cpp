#include "fakes/FakeHotKeyApi.h"
#include "hotkeys/HotKeys.h"

#include <gtest/gtest.h>

#include <stdexcept>
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
    HotKeyDispatcher m_dispatcher;
    std::vector<HotKeyCommand> m_ran;
};

TEST_F(HotKeyDispatcherTest, RunsOnlyMatchedHotKeys)
{
    m_dispatcher.OnHotKey(Id(HotKeyCommand::CancelLast), m_hotKeys, Record());
    m_dispatcher.OnHotKey(0, m_hotKeys, Record());
    m_dispatcher.OnHotKey(12345, m_hotKeys, Record());
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::CancelLast}));
    EXPECT_FALSE(m_dispatcher.IsBusy());
}

TEST_F(HotKeyDispatcherTest, HotKeyDuringACommandIsNotRun)
{
    m_dispatcher.OnHotKey(Id(HotKeyCommand::CaptureName), m_hotKeys,
                          [this](HotKeyCommand command)
                          {
                              m_ran.push_back(command);
                              EXPECT_TRUE(m_dispatcher.IsBusy());
                              // A message pumped while the command runs.
                              m_dispatcher.OnHotKey(Id(HotKeyCommand::CaptureValue), m_hotKeys,
                                                    Record());
                              EXPECT_TRUE(m_dispatcher.IsBusy());
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
    EXPECT_FALSE(m_dispatcher.IsBusy());
    m_dispatcher.OnHotKey(Id(HotKeyCommand::StopResume), m_hotKeys, Record());
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::StopResume}));
}

} // namespace
} // namespace mirufon
