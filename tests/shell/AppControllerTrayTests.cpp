#include "shell/ControllerFixture.h"
#include "shell/Tray.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mirufon
{
namespace
{

using namespace controller_test;

// A shell that does not take the icon (its taskbar still starting at sign-in) is offered it
// again every second; after ten more refusals the window comes out, so that the program is
// never out of reach.
TEST(AppControllerTray, RefusedIconIsOfferedAgainUntilTheWindowComesOut)
{
    struct Case
    {
        int refusals;
        int offers;
        bool inTray;
    };
    const Case cases[] = {{0, 1, true}, {3, 4, true}, {10, 11, true}, {11, 11, false}};
    for (const Case& c : cases)
    {
        App app;
        app.m_tray.refusals = c.refusals;
        app.StartWith(L"task tray = 1\r\ncustom msg = 0\r\n");
        int offers = 1;
        while (app.m_timers.trayTimer == kTrayIconRetryMs && offers < 100)
        {
            app.m_timers.trayTimer = -1;
            app.m_controller.OnTrayTimer();
            ++offers;
        }
        EXPECT_EQ(offers, c.offers) << c.refusals;
        EXPECT_EQ(app.m_controller.IsInTray(), c.inTray) << c.refusals;
        const Steps steps = app.Next();
        EXPECT_EQ(std::count(steps.begin(), steps.end(), "restore icon"), c.offers - 1);
        EXPECT_EQ(std::count(steps.begin(), steps.end(), "show"), c.inTray ? 0 : 1) << c.refusals;
        EXPECT_EQ(std::count(steps.begin(), steps.end(), "preview on"), c.inTray ? 0 : 1);
        app.m_controller.OnTrayTimer(); // a late tick changes nothing
        EXPECT_TRUE(app.Next().empty());
    }
}

// The icon goes back into a restarted shell while it belongs there: after "表示" too, which
// keeps it, but not after "トレイから出す", which also ends an attempt under way.
TEST(AppControllerTray, RestartedShellGetsTheIconBackUntilItIsTakenOut)
{
    App app;
    app.StartWith(L"task tray = 1\r\ncustom msg = 0\r\n");
    app.Next();
    app.m_controller.OnTaskbarCreated();
    app.m_controller.ShowFromTray();
    EXPECT_FALSE(app.m_controller.IsInTray());
    app.m_tray.refusals = 1;
    app.m_controller.OnTaskbarCreated();
    EXPECT_EQ(app.m_timers.trayTimer, kTrayIconRetryMs);
    app.m_controller.LeaveTray();
    EXPECT_EQ(app.m_timers.trayTimer, -1);
    app.m_controller.OnTrayTimer();
    app.m_controller.OnTaskbarCreated();
    EXPECT_EQ(app.Next(), (Steps{"restore icon", "show from tray", "preview on", "restore icon",
                                 "leave tray"}));

    App window;
    window.StartWith(L"");
    window.Next();
    window.m_controller.OnTaskbarCreated();
    EXPECT_TRUE(window.Next().empty());
}

} // namespace
} // namespace mirufon
