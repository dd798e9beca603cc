#include "video/jobs/VideoPlan.h"

#include "app/SettingsRules.h"

#include <cmath>

namespace {

int HeldEveryNth(int everyNth)
{
    return settings_rules::ClampInt(everyNth, 1, settings_rules::EVERY_NTH_MAX);
}

} // namespace

std::vector<ImageFileInfo> TakeEveryNth(const std::vector<ImageFileInfo>& rows, int everyNth)
{
    std::vector<ImageFileInfo> taken;
    taken.reserve(EveryNthCount(static_cast<int>(rows.size()), everyNth));
    for (size_t i = 0; i < rows.size(); i += HeldEveryNth(everyNth))
        taken.push_back(rows[i]);
    return taken;
}

int EveryNthCount(int rows, int everyNth)
{
    return rows <= 0 ? 0 : (rows - 1) / HeldEveryNth(everyNth) + 1;
}

VideoLength SayVideoLength(int frames, int frameRate)
{
    double seconds = static_cast<double>(frames) / settings_rules::ClampInt(frameRate, 1, 50);
    long long hundredths = std::llround(seconds * 100);
    if (hundredths < 1000) {
        int decimals = hundredths % 10 != 0 ? 2 : hundredths % 100 != 0 ? 1 : 0;
        return {VideoLength::Seconds, hundredths / 100.0, decimals, 0};
    }
    long long whole = std::llround(seconds);
    if (whole < 60)
        return {VideoLength::Seconds, static_cast<double>(whole), 0, 0};
    if (whole < 3600)
        return {VideoLength::MinutesAndSeconds, static_cast<double>(whole / 60), 0, static_cast<int>(whole % 60)};
    long long minutes = std::llround(seconds / 60);
    return {VideoLength::HoursAndMinutes, static_cast<double>(minutes / 60), 0, static_cast<int>(minutes % 60)};
}
