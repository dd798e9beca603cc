// How long a count that moves on has left, from readings taken about once a second; no
// platform call.
#pragma once

#include <deque>
#include <optional>

class CTimeLeft {
public:
    // A reading: a clock in milliseconds and how far the count is. A new total, or a count
    // that goes back, starts the estimate over.
    void Add(long long nowMs, int done, int total);
    // Seconds left, once the estimate is steady; never below one, as an encoder still has
    // work after its count is full.
    std::optional<double> Seconds() const;

private:
    struct Reading {
        long long ms;
        int done;
    };

    std::optional<double> RecentSecondsLeft() const;
    bool Steady(double recent);

    std::deque<Reading> m_readings;  // from the count's last stand-still on, a window's worth
    std::deque<double> m_recent;     // the last few raw estimates, until one is told
    int m_total = -1;
    int m_done = 0;
    long long m_lastMs = 0;
    std::optional<double> m_estimate;
};

// How a time left is told: a number of one unit.
struct TimeLeftWords {
    enum Unit { Seconds, OneMinute, Minutes, Hours } unit;
    double amount;  // whole seconds or minutes; hours to one decimal
};

// Rounded the way people say it: seconds by fives under a minute, then minutes, then hours.
// Never zero.
TimeLeftWords SayTimeLeft(double seconds);
