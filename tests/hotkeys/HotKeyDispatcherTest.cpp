#include "fakes/FakeHotKeyApi.h"
#include "fakes/FakeWindowProcedureSlot.h"
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
    FakeWindowProcedureSlot m_slot{0x1000};
    HotKeyManager m_hotKeys{m_api, m_slot, 0x3000};
    HotKeyDispatcher m_dispatcher;
    std::vector<HotKeyCommand> m_ran;
};

TEST_F(HotKeyDispatcherTest, RunsOnlyMatchedHotKeys)
{
    m_dispatcher.OnMessage(true, Id(HotKeyCommand::Back), m_hotKeys, Record());
    m_dispatcher.OnMessage(false, Id(HotKeyCommand::Crlf), m_hotKeys, Record()); // not WM_HOTKEY
    m_dispatcher.OnMessage(true, 0, m_hotKeys, Record());
    m_dispatcher.OnMessage(true, 12345, m_hotKeys, Record());
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::Back}));
    EXPECT_FALSE(m_dispatcher.IsBusy());
}

TEST_F(HotKeyDispatcherTest, HotKeyDuringACommandIsNotRun)
{
    m_dispatcher.OnMessage(true, Id(HotKeyCommand::GetName), m_hotKeys,
                           [this](HotKeyCommand command)
                           {
                               m_ran.push_back(command);
                               EXPECT_TRUE(m_dispatcher.IsBusy());
                               // A message pumped while the command runs.
                               m_dispatcher.OnMessage(true, Id(HotKeyCommand::GetValue), m_hotKeys,
                                                      Record());
                               EXPECT_TRUE(m_dispatcher.IsBusy());
                           });
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::GetName}));

    // Once the command has returned, the next hotkey runs normally.
    m_dispatcher.OnMessage(true, Id(HotKeyCommand::GetValue), m_hotKeys, Record());
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::GetName, HotKeyCommand::GetValue}));
}

TEST_F(HotKeyDispatcherTest, ThrowingCommandReleasesTheGuard)
{
    EXPECT_THROW(m_dispatcher.OnMessage(true, Id(HotKeyCommand::Stop), m_hotKeys,
                                        [](HotKeyCommand) { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_FALSE(m_dispatcher.IsBusy());
    m_dispatcher.OnMessage(true, Id(HotKeyCommand::Stop), m_hotKeys, Record());
    EXPECT_EQ(m_ran, (std::vector<HotKeyCommand>{HotKeyCommand::Stop}));
}

} // namespace
} // namespace mirufon
