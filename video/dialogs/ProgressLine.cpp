#include "video/dialogs/ProgressLine.h"

#include "framework/Text.h"
#include "resource.h"
#include "video/dialogs/TimeLeft.h"

#include <windows.h>

#include <algorithm>

namespace {

std::string SayDuration(double seconds)
{
    static const UINT UNIT_TEXTS[] = {IDS_SECONDS, IDS_ONE_MINUTE, IDS_MINUTES, IDS_HOURS};
    TimeLeftWords words = SayTimeLeft(seconds);
    std::string amount = fw::FormatLocaleNumber(words.amount, words.unit == TimeLeftWords::Hours ? 1 : 0);
    return fw::FormatText(fw::LoadStringText(UNIT_TEXTS[words.unit]).c_str(), amount.c_str());
}

} // namespace

std::string FormatProgressLine(const JobCount& count, std::optional<double> secondsLeft)
{
    if (count.phase == JobPhase::None)
        return {};
    UINT countText = count.phase == JobPhase::ListingFiles ? IDS_FILE_COUNT : IDS_FRAME_COUNT;
    std::string line = fw::FormatText(fw::LoadStringText(countText).c_str(),
                                      fw::FormatLocaleNumber(std::clamp(count.done, 0, count.total), 0).c_str(),
                                      fw::FormatLocaleNumber(count.total, 0).c_str());
    if (!secondsLeft)
        return line;
    return fw::FormatText(fw::LoadStringText(IDS_TIME_LEFT).c_str(), line.c_str(), SayDuration(*secondsLeft).c_str());
}
