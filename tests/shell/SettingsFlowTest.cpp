#include "shell/SettingsFlow.h"

#include "fakes/FakeClipboardChain.h"
#include "fakes/FakeHotKeyApi.h"
#include "fakes/FakeMessagePump.h"
#include "fakes/FakeTextBox.h"
#include "fakes/FakeWindowProcedureSlot.h"

#include <gtest/gtest.h>

namespace mirufon
{
namespace
{

constexpr ProcedureId kWindowProcedure = 0x1000;
constexpr ProcedureId kCopyProcedure = 0x2000;
constexpr ProcedureId kHotKeyProcedure = 0x3000;
constexpr WindowId kMainWindow = 0x77;

// The main window around the settings dialog: its procedure slot, the two handlers that hook
// it, the log and the settings, as start-up leaves them.
class SettingsFlowTest : public ::testing::Test
{
  protected:
    void StartUp(std::int16_t addCopy)
    {
        m_settings.AddCopy = addCopy;
        m_log.ShowIntroduction();
        if (addCopy == 1)
        {
            m_copy.Start();
        }
        m_hotKeys.Register(m_settings, true);
    }

    void Close(bool running)
    {
        AfterSettingsDialog(m_copy, m_hotKeys, m_settings, running, m_log,
                            [this](const KeyLabels& labels) { m_labels = labels; });
    }

    int LiveHotKeys() const { return static_cast<int>(m_api.Live().size()); }

    Settings m_settings;
    FakeWindowProcedureSlot m_slot{kWindowProcedure};
    FakeHotKeyApi m_api;
    FakeClipboardChain m_chain;
    FakeMessagePump m_pump;
    FakeTextBox m_box;
    CaptureLog m_log{m_box, m_settings};
    CopyCapture m_copy{m_chain,
                       m_slot,
                       kCopyProcedure,
                       kMainWindow,
                       m_pump,
                       [](std::wstring_view) {},
                       [](std::wstring_view, std::wstring_view) {}};
    HotKeyManager m_hotKeys{m_api, m_slot, kHotKeyProcedure};
    KeyLabels m_labels;
};

TEST_F(SettingsFlowTest, RunningWithCopyCaptureKeepsTheHandlersNested)
{
    StartUp(1);
    ASSERT_EQ(m_slot.Current(), kHotKeyProcedure);

    BeforeSettingsDialog(m_hotKeys);
    EXPECT_EQ(LiveHotKeys(), 0);
    EXPECT_EQ(m_slot.Current(), kCopyProcedure) << "copy capture goes on while the dialog is open";

    m_settings.HotKeyCrlf = L"R";
    m_settings.SeparateTab = 1;
    m_chain.ClearCalls();
    Close(true);

    // The viewer left and rejoined under the hotkey handler, which came back last.
    ASSERT_GE(m_chain.Calls().size(), 2u);
    EXPECT_EQ(m_chain.Calls()[0].kind, FakeClipboardChain::Kind::Leave);
    EXPECT_EQ(m_chain.Calls()[1].kind, FakeClipboardChain::Kind::Join);
    EXPECT_EQ(m_slot.Current(), kHotKeyProcedure);
    EXPECT_EQ(m_hotKeys.Previous(), kCopyProcedure);
    EXPECT_EQ(m_copy.Previous(), kWindowProcedure);
    EXPECT_EQ(LiveHotKeys(), 5);
    EXPECT_EQ(m_settings.Separator, L"\t");
    EXPECT_EQ(m_labels.name, L"Shift+A");
    EXPECT_NE(m_box.Content().find(L"Shift+R：改行"), std::wstring::npos);
    EXPECT_NE(m_box.Content().find(L"区切り：タブ"), std::wstring::npos);

    // Shutdown takes both away in reverse order and the window has its own procedure back.
    m_hotKeys.Unregister();
    m_copy.End();
    EXPECT_EQ(m_slot.Current(), kWindowProcedure);
    EXPECT_EQ(LiveHotKeys(), 0);
}

TEST_F(SettingsFlowTest, StoppedRegistersOnlyTheStopKeyAndCopyCaptureCanBeSwitchedOff)
{
    StartUp(1);
    m_hotKeys.Unregister();
    m_hotKeys.Register(m_settings, false);

    BeforeSettingsDialog(m_hotKeys);
    m_settings.AddCopy = 0;
    m_settings.HotKeyStop = L"H";
    m_chain.ClearCalls();
    Close(false);

    // Leaving twice changes nothing the second time.
    EXPECT_EQ(m_chain.Count(FakeClipboardChain::Kind::Leave), 2);
    EXPECT_EQ(m_chain.Count(FakeClipboardChain::Kind::Join), 0);
    EXPECT_FALSE(m_chain.InChain());
    EXPECT_EQ(m_slot.Current(), kHotKeyProcedure);
    EXPECT_EQ(m_hotKeys.Previous(), kWindowProcedure);
    ASSERT_EQ(LiveHotKeys(), 1);
    EXPECT_EQ(m_api.Live().begin()->second.second, static_cast<unsigned>(L'H'));
}

TEST_F(SettingsFlowTest, TurningCopyCaptureOnJoinsUnderTheHotKeyHandlerAndKeepsALog)
{
    StartUp(0);
    m_log.GetDt(L"captured");
    BeforeSettingsDialog(m_hotKeys);
    m_settings.AddCopy = 1;
    m_settings.HotKeyGetName = L"Q";
    Close(true);

    EXPECT_TRUE(m_chain.InChain());
    EXPECT_EQ(m_slot.Current(), kHotKeyProcedure);
    EXPECT_EQ(m_hotKeys.Previous(), kCopyProcedure);
    EXPECT_EQ(m_labels.name, L"Shift+Q");
    EXPECT_EQ(m_box.Content(), L"captured") << "a log with captured text is left alone";
}

} // namespace
} // namespace mirufon
