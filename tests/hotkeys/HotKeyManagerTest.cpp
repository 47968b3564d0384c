#include "fakes/FakeHotKeyApi.h"
#include "fakes/FakeWindowProcedureSlot.h"
#include "hotkeys/HotKeys.h"
#include "hotkeys/RunState.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace mirufon
{
namespace
{

constexpr ProcedureId kOriginal = 0x1000;
constexpr ProcedureId kCopy = 0x2000;
constexpr ProcedureId kHotKey = 0x3000;

const std::wstring_view kAtomNames[] = {L"ADDPOINT_GETNAME", L"ADDPOINT_GETVALUE", L"ADDPOINT_CRLF",
                                        L"ADDPOINT_BACK", L"ADDPOINT_STOP"};

// The copy handler's hook on the window procedure, reduced to what the nesting needs: it
// keeps the procedure it replaced and puts exactly that back.
class CopyHook
{
  public:
    explicit CopyHook(WindowProcedureSlot& slot) : m_slot(slot) {}

    void Start() { m_previous = m_slot.Replace(kCopy); }
    void End()
    {
        if (m_previous == 0)
        {
            return;
        }
        m_slot.Replace(m_previous);
        m_previous = 0;
    }
    ProcedureId Previous() const { return m_previous; }

  private:
    WindowProcedureSlot& m_slot;
    ProcedureId m_previous = 0;
};

// The main window's sequences around the two hooks, in the order the program runs them.
struct MainWindow
{
    FakeHotKeyApi api;
    FakeWindowProcedureSlot slot{kOriginal};
    CopyHook copy{slot};
    HotKeyManager hotKeys{api, slot, kHotKey};
    HotKeyDispatcher dispatcher;
    Settings settings;
    std::wstring caption{kRunningCaption};

    void StartUp()
    {
        if (settings.AddCopy == 1)
        {
            copy.Start();
        }
        hotKeys.Register(settings, true);
    }
    void SetRunState(bool run)
    {
        caption = CaptionFor(run);
        hotKeys.Unregister();
        hotKeys.Register(settings, run);
    }
    void KeyStop()
    {
        if (const std::optional<bool> run = RunFromCaption(caption))
        {
            SetRunState(*run);
        }
    }
    void OpenSettings() { hotKeys.Unregister(); }
    void CloseSettings()
    {
        copy.End();
        if (settings.AddCopy == 1)
        {
            copy.Start();
        }
        else
        {
            copy.End();
        }
        hotKeys.Register(settings, IsRunningCaption(caption));
    }
    void Shutdown()
    {
        hotKeys.Unregister();
        if (settings.AddCopy == 1)
        {
            copy.End();
        }
    }
    void PressHotKey(std::int32_t id)
    {
        dispatcher.OnMessage(true, id, hotKeys,
                             [this](HotKeyCommand command)
                             {
                                 if (command == HotKeyCommand::Stop)
                                 {
                                     KeyStop();
                                 }
                             });
    }

    // The procedures a message passes through, from the window's slot down to the original.
    std::vector<ProcedureId> Chain() const
    {
        std::vector<ProcedureId> chain;
        ProcedureId at = slot.Current();
        while (chain.size() < 5)
        {
            chain.push_back(at);
            if (at == kHotKey)
            {
                at = hotKeys.Previous();
            }
            else if (at == kCopy)
            {
                at = copy.Previous();
            }
            else
            {
                break;
            }
        }
        return chain;
    }
    std::int32_t Id(HotKeyCommand command) const
    {
        return hotKeys.Ids()[static_cast<std::size_t>(command)];
    }
};

using Chain = std::vector<ProcedureId>;

TEST(HotKeyManager, RegistersInCommandOrderThenInstalls)
{
    MainWindow window;
    window.settings.HotKeyModify = L"shift+CTRL";
    window.hotKeys.Register(window.settings, true);

    const std::vector<FakeHotKeyApi::Call>& calls = window.api.Calls();
    ASSERT_EQ(calls.size(), 5u);
    const unsigned keys[] = {'A', 'Z', 'E', 'B', 'G'};
    for (std::size_t i = 0; i < 5; ++i)
    {
        EXPECT_TRUE(calls[i].isRegister);
        EXPECT_EQ(calls[i].modifiers, 6u);
        EXPECT_EQ(calls[i].virtualKey, keys[i]) << i;
        EXPECT_EQ(calls[i].id, window.hotKeys.Ids()[i]);
        // The fake hands out 0xC000, 0xC001, ...: negative once widened.
        EXPECT_EQ(calls[i].id, -16384 + static_cast<std::int32_t>(i));
        EXPECT_EQ(window.api.References(kAtomNames[i]), 1);
    }
    EXPECT_EQ(window.slot.Current(), kHotKey);
    EXPECT_EQ(window.hotKeys.Previous(), kOriginal);
    EXPECT_TRUE(window.hotKeys.IsInstalled());
    EXPECT_EQ(window.api.Live().size(), 5u);
}

TEST(HotKeyManager, UnregistersInCommandOrderAndRestores)
{
    MainWindow window;
    window.hotKeys.Register(window.settings, true);
    const std::array<std::int32_t, 5> ids = window.hotKeys.Ids();
    window.api.ClearCalls();

    window.hotKeys.Unregister();
    const std::vector<FakeHotKeyApi::Call>& calls = window.api.Calls();
    ASSERT_EQ(calls.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
    {
        EXPECT_FALSE(calls[i].isRegister);
        EXPECT_EQ(calls[i].id, ids[i]);
        EXPECT_TRUE(calls[i].effective);
        EXPECT_EQ(window.hotKeys.Ids()[i], 0);
    }
    EXPECT_EQ(window.slot.Current(), kOriginal);
    EXPECT_EQ(window.hotKeys.Previous(), 0u);
    EXPECT_FALSE(window.hotKeys.IsInstalled());
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_EQ(window.api.StrayDeletes(), 0);

    // Unregistering again touches nothing.
    const std::size_t replacements = window.slot.Log().size();
    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.Calls().size(), 5u);
    EXPECT_EQ(window.slot.Log().size(), replacements);
}

TEST(HotKeyManager, StopOnlyRegistersJustTheStopKey)
{
    MainWindow window;
    window.hotKeys.Register(window.settings, false);
    ASSERT_EQ(window.api.Calls().size(), 1u);
    EXPECT_EQ(window.api.Calls()[0].virtualKey, unsigned{'G'});
    EXPECT_EQ(window.api.AddAtomCalls(), 1);
    const std::array<std::int32_t, 5>& ids = window.hotKeys.Ids();
    EXPECT_EQ(ids[0] | ids[1] | ids[2] | ids[3], 0);
    EXPECT_EQ(window.hotKeys.Match(ids[4]), HotKeyCommand::Stop);
    EXPECT_EQ(window.hotKeys.Match(0), std::nullopt);
    EXPECT_EQ(window.slot.Current(), kHotKey);
}

TEST(HotKeyManager, SkippedCommandsLeaveTheOthersWorking)
{
    MainWindow window;
    window.settings.HotKeyCrlf = L"";             // no key: no atom either
    window.api.FailAddAtom(L"ADDPOINT_GETVALUE"); // no atom: no hotkey
    window.hotKeys.Register(window.settings, true);

    EXPECT_EQ(window.api.References(L"ADDPOINT_CRLF"), 0);
    EXPECT_EQ(window.Id(HotKeyCommand::Crlf), 0);
    EXPECT_EQ(window.Id(HotKeyCommand::GetValue), 0);
    EXPECT_EQ(window.api.Calls().size(), 3u);
    EXPECT_EQ(window.api.Live().size(), 3u);
    EXPECT_EQ(window.hotKeys.Match(0), std::nullopt);
    EXPECT_EQ(window.hotKeys.Match(window.Id(HotKeyCommand::Back)), HotKeyCommand::Back);

    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.Calls().size(), 6u);
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_EQ(window.api.StrayDeletes(), 0);
}

TEST(HotKeyManager, DuplicateOrHeldCombinationIsSilentlyWithoutHotKey)
{
    MainWindow window;
    window.settings.HotKeyBack = L"A"; // the same as get name
    window.api.Refuse(4, 'G');         // another program holds Shift+G
    window.hotKeys.Register(window.settings, true);

    const std::vector<FakeHotKeyApi::Call>& calls = window.api.Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_TRUE(calls[0].effective);  // get name, earlier in the order, gets Shift+A
    EXPECT_FALSE(calls[3].effective); // cancel last does not
    EXPECT_FALSE(calls[4].effective);
    EXPECT_EQ(window.api.Live().size(), 3u);
    // The refused commands keep their atoms as ids; they simply never arrive.
    EXPECT_NE(window.Id(HotKeyCommand::Back), 0);
    EXPECT_EQ(window.api.Live().count(window.Id(HotKeyCommand::GetName)), 1u);

    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_TRUE(window.api.Live().empty());
    EXPECT_EQ(window.api.StrayDeletes(), 0);
}

TEST(HotKeyManager, MatchFindsEachCommandAndNothingElse)
{
    MainWindow window;
    window.hotKeys.Register(window.settings, true);
    for (const HotKeyCommand command : kHotKeyCommands)
    {
        EXPECT_EQ(window.hotKeys.Match(window.Id(command)), command);
    }
    EXPECT_EQ(window.hotKeys.Match(-16384), HotKeyCommand::GetName); // atom 0xC000
    EXPECT_EQ(window.hotKeys.Match(0xC000), std::nullopt);           // not widened as signed
    EXPECT_EQ(window.hotKeys.Match(0), std::nullopt);
    EXPECT_EQ(window.hotKeys.Match(1), std::nullopt);

    window.hotKeys.Unregister();
    EXPECT_EQ(window.hotKeys.Match(0), std::nullopt);
    EXPECT_EQ(window.hotKeys.Match(-16384), std::nullopt);
}

TEST(HotKeyManager, RegisteringTwiceKeepsTheChainAndTheBalance)
{
    MainWindow window;
    window.hotKeys.Register(window.settings, true);
    window.hotKeys.Register(window.settings, false);

    EXPECT_EQ(window.hotKeys.Previous(), kOriginal) << "must not chain to itself";
    EXPECT_EQ(window.api.References(L"ADDPOINT_STOP"), 1);
    EXPECT_EQ(window.api.References(L"ADDPOINT_GETNAME"), 0);
    EXPECT_EQ(window.api.Live().size(), 1u);
    window.hotKeys.Unregister();
    EXPECT_EQ(window.slot.Current(), kOriginal);
    EXPECT_EQ(window.api.AtomCount(), 0u);
}

TEST(HotKeyManager, AtomSharedWithAnotherProgramKeepsItsReference)
{
    MainWindow window;
    const std::uint16_t foreign = window.api.AddGlobalAtom(L"ADDPOINT_STOP");
    window.hotKeys.Register(window.settings, true);
    EXPECT_EQ(window.Id(HotKeyCommand::Stop), HotKeyIdFromAtom(foreign));
    EXPECT_EQ(window.api.References(L"ADDPOINT_STOP"), 2);
    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.References(L"ADDPOINT_STOP"), 1);
    EXPECT_EQ(window.api.AtomCount(), 1u);
}

TEST(HotKeyManager, RefusedReplacementNeverPutsZeroIntoTheWindow)
{
    MainWindow window;
    window.slot.Fail(true);
    window.hotKeys.Register(window.settings, true);
    EXPECT_TRUE(window.hotKeys.IsInstalled());
    EXPECT_EQ(window.hotKeys.Previous(), 0u);
    window.slot.Fail(false);

    window.hotKeys.Unregister();
    EXPECT_TRUE(window.slot.Log().empty());
    EXPECT_EQ(window.slot.Current(), kOriginal);
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_TRUE(window.api.Live().empty());
}

TEST(HotKeyManager, DestructionReleasesEverything)
{
    FakeHotKeyApi api;
    FakeWindowProcedureSlot slot{kOriginal};
    {
        HotKeyManager hotKeys{api, slot, kHotKey};
        hotKeys.Register(Settings{}, true);
    }
    EXPECT_EQ(slot.Current(), kOriginal);
    EXPECT_EQ(api.AtomCount(), 0u);
    EXPECT_TRUE(api.Live().empty());
}

TEST(HotKeyManager, AnySequenceKeepsAtomsBalanced)
{
    std::mt19937 random(20240611);
    const wchar_t* const keys[] = {L"A", L"B", L"q", L"", L"あ"};
    MainWindow window;
    for (int step = 0; step < 400; ++step)
    {
        for (std::wstring* key : {&window.settings.HotKeyGetName, &window.settings.HotKeyGetValue,
                                  &window.settings.HotKeyCrlf, &window.settings.HotKeyBack,
                                  &window.settings.HotKeyStop})
        {
            *key = keys[random() % 5];
        }
        switch (random() % 3)
        {
        case 0:
            window.hotKeys.Register(window.settings, true);
            break;
        case 1:
            window.hotKeys.Register(window.settings, false);
            break;
        default:
            window.hotKeys.Unregister();
            break;
        }
        // Each atom is held exactly while its command has an id, and only then.
        for (std::size_t i = 0; i < 5; ++i)
        {
            const int held = window.hotKeys.Ids()[i] != 0 ? 1 : 0;
            ASSERT_EQ(window.api.References(kAtomNames[i]), held) << "step " << step;
        }
        for (const auto& [id, combination] : window.api.Live())
        {
            ASSERT_TRUE(window.hotKeys.Match(id).has_value()) << "step " << step;
        }
    }
    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_TRUE(window.api.Live().empty());
    EXPECT_EQ(window.api.StrayDeletes(), 0);
    EXPECT_EQ(window.slot.Current(), kOriginal);
}

TEST(HotKeyNesting, StopResumeAndShutdownWithCopyCapture)
{
    MainWindow window;
    window.settings.AddCopy = 1;
    window.StartUp();
    EXPECT_EQ(window.Chain(), (Chain{kHotKey, kCopy, kOriginal}));

    // Stop by hotkey: the command re-installs while the message is being handled; passing it
    // on afterwards must still reach the copy handler.
    window.PressHotKey(window.Id(HotKeyCommand::Stop));
    EXPECT_EQ(window.caption, kStoppedCaption);
    EXPECT_EQ(window.Chain(), (Chain{kHotKey, kCopy, kOriginal}));
    EXPECT_EQ(window.api.Live().size(), 1u);
    EXPECT_EQ(window.api.References(L"ADDPOINT_GETNAME"), 0);

    window.PressHotKey(window.Id(HotKeyCommand::Stop));
    EXPECT_EQ(window.caption, kRunningCaption);
    EXPECT_EQ(window.Chain(), (Chain{kHotKey, kCopy, kOriginal}));
    EXPECT_EQ(window.api.Live().size(), 5u);

    window.Shutdown();
    EXPECT_EQ(window.Chain(), (Chain{kOriginal}));
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_TRUE(window.api.Live().empty());
}

TEST(HotKeyNesting, SettingsDialogTurnsCopyCaptureOnAndOff)
{
    MainWindow window;
    window.StartUp(); // copy capture off
    EXPECT_EQ(window.Chain(), (Chain{kHotKey, kOriginal}));

    window.OpenSettings();
    EXPECT_EQ(window.Chain(), (Chain{kOriginal}));
    EXPECT_TRUE(window.api.Live().empty());
    window.settings.AddCopy = 1;
    window.CloseSettings();
    EXPECT_EQ(window.Chain(), (Chain{kHotKey, kCopy, kOriginal}));
    EXPECT_EQ(window.api.Live().size(), 5u);

    // Keys changed while stopped: only the new stop key comes back.
    window.SetRunState(false);
    window.OpenSettings();
    EXPECT_EQ(window.Chain(), (Chain{kCopy, kOriginal}));
    window.settings.HotKeyStop = L"Q";
    window.CloseSettings();
    EXPECT_EQ(window.Chain(), (Chain{kHotKey, kCopy, kOriginal}));
    ASSERT_EQ(window.api.Live().size(), 1u);
    EXPECT_EQ(window.api.Live().begin()->second, (FakeHotKeyApi::Combination{4, 'Q'}));

    window.SetRunState(true);
    window.OpenSettings();
    window.settings.AddCopy = 0;
    window.CloseSettings();
    EXPECT_EQ(window.Chain(), (Chain{kHotKey, kOriginal}));

    window.Shutdown();
    EXPECT_EQ(window.Chain(), (Chain{kOriginal}));
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_TRUE(window.api.Live().empty());
    EXPECT_EQ(window.api.StrayDeletes(), 0);
}

} // namespace
} // namespace mirufon
