#include "fakes/FakeHotKeyApi.h"
#include "hotkeys/HotKeys.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace mirufon
{
namespace
{

// The main window's hotkeys over a fake atom table and hotkey registry.
struct MainWindow
{
    FakeHotKeyApi api;
    HotKeyManager hotKeys{api};
    Settings settings;

    std::int32_t Id(HotKeyCommand command) const
    {
        return hotKeys.Ids()[static_cast<std::size_t>(command)];
    }
};

TEST(HotKeyManager, RegistersInCommandOrder)
{
    MainWindow window;
    window.settings.modifier = L"shift+CTRL";
    window.hotKeys.Register(window.settings, true);

    const std::vector<FakeHotKeyApi::Call>& calls = window.api.Calls();
    ASSERT_EQ(calls.size(), 6u);
    const unsigned keys[] = {'A', 'Z', 'E', 'B', 'G', 'L'};
    for (std::size_t i = 0; i < 6; ++i)
    {
        EXPECT_TRUE(calls[i].isRegister);
        EXPECT_EQ(calls[i].modifiers, 6u);
        EXPECT_EQ(calls[i].virtualKey, keys[i]) << i;
        EXPECT_EQ(calls[i].id, window.hotKeys.Ids()[i]);
        // The fake hands out 0xC000, 0xC001, ...: negative once widened.
        EXPECT_EQ(calls[i].id, -16384 + static_cast<std::int32_t>(i));
        EXPECT_EQ(window.api.References(AtomName(kHotKeyCommands[i])), 1);
    }
    EXPECT_TRUE(window.hotKeys.IsRegistered());
    EXPECT_EQ(window.api.Live().size(), 6u);
}

TEST(HotKeyManager, UnregistersInCommandOrder)
{
    MainWindow window;
    window.hotKeys.Register(window.settings, true);
    const std::array<std::int32_t, 6> ids = window.hotKeys.Ids();
    window.api.ClearCalls();

    window.hotKeys.Unregister();
    const std::vector<FakeHotKeyApi::Call>& calls = window.api.Calls();
    ASSERT_EQ(calls.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
    {
        EXPECT_FALSE(calls[i].isRegister);
        EXPECT_EQ(calls[i].id, ids[i]);
        EXPECT_TRUE(calls[i].effective);
        EXPECT_EQ(window.hotKeys.Ids()[i], 0);
    }
    EXPECT_FALSE(window.hotKeys.IsRegistered());
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_EQ(window.api.StrayDeletes(), 0);

    // Unregistering again touches nothing.
    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.Calls().size(), 6u);
}

TEST(HotKeyManager, StopOnlyRegistersJustTheStopKey)
{
    MainWindow window;
    window.hotKeys.Register(window.settings, false);
    ASSERT_EQ(window.api.Calls().size(), 1u);
    EXPECT_EQ(window.api.Calls()[0].virtualKey, unsigned{'G'});
    EXPECT_EQ(window.api.AddAtomCalls(), 1);
    const std::array<std::int32_t, 6>& ids = window.hotKeys.Ids();
    EXPECT_EQ(ids[0] | ids[1] | ids[2] | ids[3] | ids[5], 0);
    EXPECT_EQ(window.hotKeys.Match(ids[4]), HotKeyCommand::StopResume);
    EXPECT_EQ(window.hotKeys.Match(0), std::nullopt);
}

TEST(HotKeyManager, SkippedCommandsLeaveTheOthersWorking)
{
    MainWindow window;
    window.settings.lineBreakKey = L"";           // no key: no atom either
    window.api.FailAddAtom(L"ADDPOINT_GETVALUE"); // no atom: no hotkey
    window.hotKeys.Register(window.settings, true);

    EXPECT_EQ(window.api.References(L"ADDPOINT_CRLF"), 0);
    EXPECT_EQ(window.Id(HotKeyCommand::LineBreak), 0);
    EXPECT_EQ(window.Id(HotKeyCommand::CaptureValue), 0);
    EXPECT_EQ(window.api.Calls().size(), 4u);
    EXPECT_EQ(window.api.Live().size(), 4u);
    EXPECT_EQ(window.hotKeys.Match(0), std::nullopt);
    EXPECT_EQ(window.hotKeys.Match(window.Id(HotKeyCommand::CancelLast)),
              HotKeyCommand::CancelLast);

    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.Calls().size(), 8u);
    EXPECT_EQ(window.api.AtomCount(), 0u);
    EXPECT_EQ(window.api.StrayDeletes(), 0);
}

TEST(HotKeyManager, DuplicateOrHeldCombinationIsWithoutHotKeyAndOnlyTheHeldOneIsRefused)
{
    MainWindow window;
    window.settings.cancelKey = L"A";  // the same as get name
    window.settings.harvestKey = L"z"; // the same as get value
    window.api.Refuse(4, 'G');         // another program holds Shift+G
    window.hotKeys.Register(window.settings, true);

    const std::vector<FakeHotKeyApi::Call>& calls = window.api.Calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_TRUE(calls[0].effective);  // get name, earlier in the order, gets Shift+A
    EXPECT_FALSE(calls[3].effective); // cancel last does not
    EXPECT_FALSE(calls[4].effective);
    EXPECT_TRUE(calls[1].effective); // get value keeps Shift+Z from the harvest, registered last
    EXPECT_FALSE(calls[5].effective);
    EXPECT_EQ(window.api.Live().size(), 3u);
    // The refused commands keep their atoms as ids; they simply never arrive.
    EXPECT_NE(window.Id(HotKeyCommand::CancelLast), 0);
    EXPECT_EQ(window.api.Live().count(window.Id(HotKeyCommand::CaptureName)), 1u);
    // Only the combination another program holds counts as refused: cancel last lost its key
    // to get name, a command of the same window.
    EXPECT_EQ(window.hotKeys.Refused(), std::vector<HotKeyCommand>{HotKeyCommand::StopResume});

    window.hotKeys.Unregister();
    EXPECT_TRUE(window.hotKeys.Refused().empty());
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
    EXPECT_EQ(window.hotKeys.Match(-16384), HotKeyCommand::CaptureName); // atom 0xC000
    EXPECT_EQ(window.hotKeys.Match(0xC000), std::nullopt);               // not widened as signed
    EXPECT_EQ(window.hotKeys.Match(0), std::nullopt);
    EXPECT_EQ(window.hotKeys.Match(1), std::nullopt);

    window.hotKeys.Unregister();
    EXPECT_EQ(window.hotKeys.Match(0), std::nullopt);
    EXPECT_EQ(window.hotKeys.Match(-16384), std::nullopt);
}

TEST(HotKeyManager, RegisteringTwiceKeepsTheBalance)
{
    MainWindow window;
    window.hotKeys.Register(window.settings, true);
    window.hotKeys.Register(window.settings, false);

    EXPECT_EQ(window.api.References(L"ADDPOINT_STOP"), 1);
    EXPECT_EQ(window.api.References(L"ADDPOINT_GETNAME"), 0);
    EXPECT_EQ(window.api.Live().size(), 1u);
    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.AtomCount(), 0u);
}

TEST(HotKeyManager, AtomSharedWithAnotherProgramKeepsItsReference)
{
    MainWindow window;
    const std::uint16_t foreign = window.api.AddGlobalAtom(L"ADDPOINT_STOP");
    window.hotKeys.Register(window.settings, true);
    EXPECT_EQ(window.Id(HotKeyCommand::StopResume), HotKeyIdFromAtom(foreign));
    EXPECT_EQ(window.api.References(L"ADDPOINT_STOP"), 2);
    window.hotKeys.Unregister();
    EXPECT_EQ(window.api.References(L"ADDPOINT_STOP"), 1);
    EXPECT_EQ(window.api.AtomCount(), 1u);
}

TEST(HotKeyManager, DestructionReleasesEverything)
{
    FakeHotKeyApi api;
    {
        HotKeyManager hotKeys{api};
        hotKeys.Register(Settings{}, true);
    }
    EXPECT_EQ(api.AtomCount(), 0u);
    EXPECT_TRUE(api.Live().empty());
}

std::vector<unsigned> Registered(const FakeHotKeyApi& api)
{
    std::vector<unsigned> keys;
    for (const FakeHotKeyApi::Call& call : api.Calls())
    {
        if (call.isRegister)
        {
            keys.push_back(call.virtualKey);
        }
    }
    return keys;
}

TEST(HotKeyManager, SwitchKeepsTheStopKeyUnlessAnotherCommandSharesIt)
{
    MainWindow window;
    window.hotKeys.Register(window.settings, true);
    const std::int32_t stop = window.Id(HotKeyCommand::StopResume);
    window.api.ClearCalls();
    window.hotKeys.Switch(window.settings, false);
    window.hotKeys.Switch(window.settings, true);
    window.hotKeys.Switch(window.settings, true); // already all: nothing to do
    for (const FakeHotKeyApi::Call& call : window.api.Calls())
    {
        EXPECT_NE(call.id, stop) << "the stop key was withdrawn";
    }
    EXPECT_EQ(window.api.Calls().size(), 10u);
    EXPECT_EQ(Registered(window.api), (std::vector<unsigned>{'A', 'Z', 'E', 'B', 'L'}));
    EXPECT_EQ(window.Id(HotKeyCommand::StopResume), stop);
    EXPECT_EQ(window.api.Live().size(), 6u);

    // Stop shares its key with the name: everything again in command order, so the name keeps
    // the combination whether the switch goes one way or the other.
    MainWindow shared;
    shared.settings.stopKey = L"a";
    shared.hotKeys.Register(shared.settings, true);
    shared.hotKeys.Switch(shared.settings, false);
    EXPECT_EQ(shared.hotKeys.Match(shared.Id(HotKeyCommand::StopResume)),
              HotKeyCommand::StopResume);
    EXPECT_EQ(shared.api.Live().size(), 1u);
    shared.api.ClearCalls();
    shared.hotKeys.Switch(shared.settings, true);
    EXPECT_EQ(Registered(shared.api), (std::vector<unsigned>{'A', 'Z', 'E', 'B', 'A', 'L'}));
    EXPECT_EQ(shared.api.Live().count(shared.Id(HotKeyCommand::CaptureName)), 1u);
    EXPECT_EQ(shared.api.Live().count(shared.Id(HotKeyCommand::StopResume)), 0u);

    // With nothing registered (the settings dialog is open) a switch registers nothing.
    shared.hotKeys.Unregister();
    shared.api.ClearCalls();
    shared.hotKeys.Switch(shared.settings, true);
    EXPECT_TRUE(shared.api.Calls().empty());
    EXPECT_FALSE(shared.hotKeys.IsRegistered());
}

TEST(HotKeyManager, AnySequenceKeepsAtomsBalanced)
{
    std::mt19937 random(20240611);
    const wchar_t* const keys[] = {L"A", L"B", L"q", L"", L"あ"};
    MainWindow window;
    for (int step = 0; step < 400; ++step)
    {
        for (std::wstring* key :
             {&window.settings.nameKey, &window.settings.valueKey, &window.settings.lineBreakKey,
              &window.settings.cancelKey, &window.settings.stopKey, &window.settings.harvestKey})
        {
            *key = keys[random() % 5];
        }
        switch (random() % 5)
        {
        case 3:
            window.hotKeys.Switch(window.settings, true);
            break;
        case 4:
            window.hotKeys.Switch(window.settings, false);
            break;
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
        for (std::size_t i = 0; i < 6; ++i)
        {
            const int held = window.hotKeys.Ids()[i] != 0 ? 1 : 0;
            ASSERT_EQ(window.api.References(AtomName(kHotKeyCommands[i])), held) << "step " << step;
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
}

} // namespace
} // namespace mirufon
