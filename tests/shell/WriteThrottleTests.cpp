#include "shell/WriteThrottle.h"

#include <gtest/gtest.h>

namespace mirufon
{
namespace
{

TEST(WriteThrottle, WritesAtOnceAfterQuietThenOncePerPeriodWhateverTheStream)
{
    WriteThrottle throttle(2000);
    EXPECT_FALSE(throttle.TakeDue(0)) << "nothing changed yet";

    // A first change is due at once.
    EXPECT_EQ(throttle.OnChange(1000), 0);
    EXPECT_TRUE(throttle.TakeDue(1000));
    EXPECT_FALSE(throttle.TakeDue(1000)) << "taken once";

    // The next is due a period after that write; changes meanwhile join the waiting write.
    EXPECT_EQ(throttle.OnChange(1100), 1900);
    EXPECT_EQ(throttle.OnChange(1500), std::nullopt);
    EXPECT_FALSE(throttle.TakeDue(2999)) << "a timer that fires early writes nothing";
    EXPECT_EQ(throttle.Remaining(2999), 1);
    EXPECT_TRUE(throttle.TakeDue(3000));

    // A change every 50 ms for ten seconds: one write every period, never postponed.
    int writes = 0;
    std::int64_t last = 3000;
    for (std::int64_t now = 3050; now <= 13000; now += 50)
    {
        throttle.OnChange(now);
        if (throttle.TakeDue(now))
        {
            EXPECT_EQ(now - last, 2000) << "at " << now;
            last = now;
            ++writes;
        }
    }
    EXPECT_EQ(writes, 5);

    // A change after a quiet spell is due at once again; a cancelled wait is forgotten.
    EXPECT_EQ(throttle.OnChange(20000), 0);
    throttle.Cancel();
    EXPECT_EQ(throttle.Remaining(20000), std::nullopt);
    EXPECT_FALSE(throttle.TakeDue(25000));
}

} // namespace
} // namespace mirufon
