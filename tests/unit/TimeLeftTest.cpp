#include "video/dialogs/TimeLeft.h"

#include <gtest/gtest.h>

#include <functional>

TEST(TimeLeft, IsToldOnceSteadyFromTheRecentRateNeverRisingAndNeverAsNothingWhileWorkRemains)
{
    auto tenASecond = [](int second) { return 10 * second; };
    struct Case {
        const char* name;
        int readings;
        int total;
        std::function<int(int)> done;
        double seconds;  // 0: not told
    } cases[] = {
        {"too soon", 3, 1000, tenASecond, 0},
        {"steady after three seconds", 4, 1000, tenASecond, 97},
        {"a slow start does not weigh", 14, 1000, [](int s) { return s < 6 ? 0 : 10 * (s - 5); }, 90},
        {"never nothing, even with the count full", 11, 100, tenASecond, 1},
        {"bursts are told after moving ten seconds", 14, 1000, [](int s) { return s / 4 * 40; }, 73},
        {"bursts are not told before", 13, 1000, [](int s) { return s / 4 * 40; }, 0},
        {"a count that goes back starts over", 7, 1000, [](int s) { return s < 5 ? 10 * s : 10 * (s - 5); }, 0},
        {"a wobbling pace is told steadily", 60, 1000, [](int s) { return 10 * s + s % 2 * 5; }, 41},
        {"a faster pace is followed", 60, 10000, [](int s) { return s < 30 ? 10 * s : 300 + 100 * (s - 30); }, 69},
    };
    // One reading a second from 0 on; no estimate rises above the one before, however the pace
    // wobbles.
    for (const Case& c : cases) {
        CTimeLeft timeLeft;
        double last = 1e9;
        for (int second = 0; second < c.readings; ++second) {
            timeLeft.Add(second * 1000LL, c.done(second), c.total);
            if (std::optional<double> left = timeLeft.Seconds()) {
                EXPECT_LT(*left, last + 0.5) << c.name << " at " << second;
                last = *left;
            }
        }
        // Never told below one second, so 0 is "not told".
        EXPECT_NEAR(timeLeft.Seconds().value_or(0), c.seconds, 0.05 * c.seconds + 0.5) << c.name;
    }
}

TEST(TimeLeft, IsSaidInFivesOfSecondsThenMinutesThenHours)
{
    struct Case {
        double seconds;
        TimeLeftWords::Unit unit;
        double amount;
    } cases[] = {{0.2, TimeLeftWords::Seconds, 5},   {5.1, TimeLeftWords::Seconds, 10},
                 {55, TimeLeftWords::Seconds, 55},   {55.5, TimeLeftWords::OneMinute, 1},
                 {89, TimeLeftWords::OneMinute, 1},  {90, TimeLeftWords::Minutes, 2},
                 {3569, TimeLeftWords::Minutes, 59}, {3570, TimeLeftWords::Hours, 1},
                 {5400, TimeLeftWords::Hours, 1.5}};
    for (const Case& c : cases) {
        TimeLeftWords words = SayTimeLeft(c.seconds);
        EXPECT_EQ(words.unit, c.unit) << c.seconds;
        EXPECT_EQ(words.amount, c.amount) << c.seconds;
    }
}
