#include "video/dialogs/TimeLeft.h"

#include <algorithm>
#include <cmath>

namespace {

// The rate is that of the recent past, so a job that speeds up or slows down is followed.
constexpr long long WINDOW_MS = 15000;
// Nothing is told before the count has moved this long, and the last few raw estimates
// agree; a count that moves in bursts is told anyway once it has moved for SURE_MS.
constexpr long long STEADY_MS = 3000;
constexpr long long SURE_MS = 10000;
constexpr size_t STEADY_READINGS = 3;
constexpr double STEADY_SPREAD = 1.25;
// Once told, the estimate counts down with the clock and takes this share of the gap to each
// new raw estimate, so it neither jumps nor stops.
constexpr double FOLLOW = 0.2;

} // namespace

void CTimeLeft::Add(long long nowMs, int done, int total)
{
    if (total != m_total || done < m_done)
        *this = CTimeLeft();
    double elapsed = m_estimate ? (nowMs - m_lastMs) / 1000.0 : 0;
    m_total = total;
    m_done = done;
    m_lastMs = nowMs;
    // A count that has stood still since the oldest reading starts its measure from now: an
    // encoder's slow first seconds do not weigh on the rate.
    if (!m_readings.empty() && m_readings.front().done == done)
        m_readings.clear();
    m_readings.push_back({nowMs, done});
    while (m_readings.size() > 2 && nowMs - m_readings[1].ms >= WINDOW_MS)
        m_readings.pop_front();

    std::optional<double> recent = RecentSecondsLeft();
    if (m_estimate) {
        double counted = *m_estimate - elapsed;
        m_estimate = recent ? counted + FOLLOW * (*recent - counted) : counted;
    } else if (recent && Steady(*recent)) {
        m_estimate = recent;
    }
}

std::optional<double> CTimeLeft::Seconds() const
{
    return m_estimate ? std::optional<double>(std::max(*m_estimate, 1.0)) : std::nullopt;
}

std::optional<double> CTimeLeft::RecentSecondsLeft() const
{
    const Reading& first = m_readings.front();
    const Reading& last = m_readings.back();
    if (last.ms <= first.ms || last.done <= first.done)
        return std::nullopt;
    double perSecond = (last.done - first.done) * 1000.0 / static_cast<double>(last.ms - first.ms);
    return (m_total - last.done) / perSecond;
}

bool CTimeLeft::Steady(double recent)
{
    m_recent.push_back(recent);
    if (m_recent.size() > STEADY_READINGS)
        m_recent.pop_front();
    long long moving = m_readings.back().ms - m_readings.front().ms;
    auto [low, high] = std::minmax_element(m_recent.begin(), m_recent.end());
    bool agree = m_recent.size() == STEADY_READINGS && *high <= *low * STEADY_SPREAD;
    return moving >= SURE_MS || (moving >= STEADY_MS && agree);
}

TimeLeftWords SayTimeLeft(double seconds)
{
    double fives = std::max(std::ceil(seconds / 5) * 5, 5.0);
    if (fives < 60)
        return {TimeLeftWords::Seconds, fives};
    double minutes = std::max(std::round(seconds / 60), 1.0);
    if (minutes == 1)
        return {TimeLeftWords::OneMinute, minutes};
    if (minutes < 60)
        return {TimeLeftWords::Minutes, minutes};
    return {TimeLeftWords::Hours, std::round(seconds / 360) / 10};
}
