#include "shell/ControllerFixture.h"
#include "support/Version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirufon
{
namespace
{

using namespace controller_test;

const Steps kShowSteps = {"topmost on", "layout", "preview on", "show"};

// Captures the button's name ("name" unless given) through the engine, as a hotkey does.
void Capture(App& app, const std::wstring& name = L"name")
{
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::CaptureName));
    app.EndRead(app.m_workers.Last(), ElementTexts{false, name, L""});
}

TEST(AppControllerLog, LeftOverJournalIsOfferedAfterTheIntroductionAndBeforeTheHotkeys)
{
    const std::wstring kept = L"前回\titem\r\nline";
    App yes;
    yes.m_journalStore.text = kept;
    yes.StartWith(L"");
    EXPECT_EQ(yes.Next(),
              Join(Join({"conf read", "geometry", "check on", "labels", "journal read", "ask"},
                        kRegisterAll),
                   kShowSteps));
    EXPECT_EQ(yes.m_dialogs.messages,
              std::vector<std::wstring>{testsupport::ExpectedTitle() +
                                        L"|前回のログが残っています。復元しますか？"});
    // An ordinary log in the log's colour: a capture follows with its separator.
    EXPECT_EQ(yes.m_log.Content(), kept);
    EXPECT_EQ(yes.m_log.Colour(), kLogTextColour);
    Capture(yes);
    EXPECT_EQ(yes.m_log.Content(), kept + L"\r\nname");

    // いいえ keeps it under a dated name and starts with the introduction.
    App no;
    no.m_journalStore.text = kept;
    no.m_dialogs.answerYes = false;
    no.StartWith(L"");
    EXPECT_EQ(no.m_journalStore.setAside,
              std::vector<std::wstring>{L"mirufon-journal-20240309-070502.txt"});
    EXPECT_EQ(no.m_log.Content().rfind(L"\r\nポイント位置", 0), 0u);
    Capture(no);
    no.m_controller.OnJournalTimer();
    EXPECT_EQ(no.m_journalStore.queued, std::vector<std::wstring>{L"name"}) << "mirrored";

    // Nothing to offer: no journal, an empty one, or the introduction alone.
    for (const std::optional<std::wstring>& text :
         {std::optional<std::wstring>(), std::optional<std::wstring>(L""),
          std::optional<std::wstring>(IntroductionText(App().m_controller.CurrentSettings()))})
    {
        App quiet;
        quiet.m_journalStore.text = text;
        quiet.StartWith(L"");
        EXPECT_TRUE(quiet.m_dialogs.messages.empty());
    }
}

TEST(AppControllerLog, AnUnansweredOrUnmovableJournalIsNeverWrittenOver)
{
    // Closed while the question is up: the journal stays for the next start, untouched, and
    // start-up goes no further.
    App closed;
    closed.m_journalStore.text = L"kept";
    closed.m_dialogs.whileAsking = [&] { closed.m_controller.Shutdown(ShutdownCause::Closed); };
    closed.StartWith(L"");
    const Steps steps = closed.Next();
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "journal remove"), 0);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "show"), 0);
    EXPECT_EQ(closed.m_journalStore.text, L"kept");

    // いいえ, but the rename fails: this run keeps no journal.
    App stuck;
    stuck.m_journalStore.text = L"kept";
    stuck.m_journalStore.refuseSetAside = true;
    stuck.m_dialogs.answerYes = false;
    stuck.StartWith(L"");
    Capture(stuck);
    stuck.m_controller.OnJournalTimer();
    stuck.m_controller.Shutdown(ShutdownCause::Closed);
    EXPECT_TRUE(stuck.m_journalStore.queued.empty());
    EXPECT_EQ(stuck.m_journalStore.text, L"kept");
}

TEST(AppControllerLog, JournalFollowsTheLogAtMostOncePerPeriodAndEndsByTheCause)
{
    App app;
    app.StartWith(L"");
    app.Next();
    // Nothing is written for the introduction shown at start.
    EXPECT_EQ(app.m_timers.journalTimer, -1);

    Capture(app, L"one");
    EXPECT_EQ(app.m_timers.journalTimer, 0);
    app.m_controller.OnJournalTimer();
    app.m_clock.now += 100;
    Capture(app, L"two");
    EXPECT_EQ(app.m_timers.journalTimer, 1900);
    app.m_clock.now += 1000;
    app.m_log.Load(L"one\r\ntwo typed"); // the user's typing
    app.m_controller.OnLogEdited();
    app.m_controller.OnJournalTimer(); // early: nothing yet
    app.m_clock.now += 900;
    app.m_controller.OnJournalTimer();
    EXPECT_EQ(app.m_journalStore.queued, (std::vector<std::wstring>{L"one", L"one\r\ntwo typed"}));

    // A cleared log leaves nothing worth keeping.
    app.m_clock.now += 5000;
    app.m_controller.ClearAll();
    app.m_controller.OnJournalTimer();
    EXPECT_EQ(app.m_journalStore.queued.back(), L"");
    app.Next();

    // A close stops the writer, then removes the journal, before Conf.txt is written.
    Capture(app, L"three");
    app.m_controller.Shutdown(ShutdownCause::Closed);
    EXPECT_EQ(app.Next(), Join(kUnregisterAll, {"close dialog", "journal stop", "journal remove",
                                                "conf write", "exit timer", "remove icon"}));
    EXPECT_EQ(app.m_timers.journalTimer, -1);

    // The end of the session writes the log a last time and keeps it, after the small Conf.txt,
    // while Windows is told why it waits.
    App ending;
    ending.StartWith(L"");
    Capture(ending, L"last");
    ending.Next();
    ending.m_controller.Shutdown(ShutdownCause::SessionEnding);
    EXPECT_EQ(ending.Next(),
              Join(kUnregisterAll,
                   {"close dialog", "hold session end", "conf write", "journal stop",
                    "journal write", "release session end", "exit timer", "remove icon"}));
    EXPECT_EQ(ending.m_journalStore.text, L"last");
}

TEST(AppControllerLog, SaveAsksForAFileWithTheHotkeysOffAndReportsAFailure)
{
    App app;
    app.StartWith(L"");
    app.m_controller.SaveLog(); // the introduction is not saved
    EXPECT_FALSE(app.m_controller.CanSaveLog());
    EXPECT_TRUE(app.m_dialogs.saveDialogs.empty());

    Capture(app);
    app.Next();
    app.m_dialogs.saveChoice = SaveChoice{L"D:\\log.txt", L""};
    app.m_controller.SaveLog();
    EXPECT_EQ(app.Next(), Join(Join(kUnregisterAll, {"save dialog"}), kRegisterAll));
    EXPECT_EQ(app.m_files.saved, std::vector<std::wstring>{L"D:\\log.txt|name"});

    // The next dialog opens where the last one was left; a failed write says why.
    app.m_files.failWith = L"アクセスが拒否されました。";
    app.m_controller.SaveLog();
    EXPECT_EQ(app.m_dialogs.saveDialogs,
              (std::vector<std::wstring>{L"mirufon-20240309-070502.txt|",
                                         L"mirufon-20240309-070502.txt|D:\\"}));
    EXPECT_EQ(app.m_dialogs.messages.back(),
              testsupport::ExpectedTitle() +
                  L"|ログを保存できませんでした。\r\nアクセスが拒否されました。");

    // A cancelled dialog says nothing; one that could not open says why. Stopped, only the
    // stop key comes back afterwards.
    const std::size_t boxes = app.m_dialogs.messages.size();
    app.m_dialogs.saveChoice = SaveChoice{};
    app.m_controller.SaveLog();
    EXPECT_EQ(app.m_dialogs.messages.size(), boxes);
    app.m_controller.ToggleRunState();
    app.Next();
    app.m_dialogs.saveChoice = SaveChoice{std::nullopt, L"クラスが登録されていません"};
    app.m_controller.SaveLog();
    EXPECT_EQ(app.Next(), (Steps{"hotkey-", "save dialog", "warning box", "hotkey+G"}));
}

} // namespace
} // namespace mirufon
