#include "video/ProgressLine.h"

#include "framework/Text.h"
#include "resource.h"
#include "video/TimeLeft.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace {

std::wstring LocaleText(LCTYPE type)
{
    wchar_t text[16] = {};
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, ARRAYSIZE(text));
    return text;
}

// The locale writes its digit groups as "3;0" (threes throughout) or "3;2;0" (a three, then
// twos); NUMBERFMT wants 3 and 32, and a trailing 0 where the last group does not repeat.
UINT Grouping(const std::wstring& text)
{
    UINT grouping = 0;
    for (wchar_t c : text)
        if (c >= L'0' && c <= L'9')
            grouping = grouping * 10 + (c - L'0');
    bool repeats = text.size() >= 2 && text.compare(text.size() - 2, 2, L";0") == 0;
    return repeats ? grouping / 10 : grouping * 10;
}

std::string LocaleNumber(double value, int decimals)
{
    std::wstring decimal = LocaleText(LOCALE_SDECIMAL);
    std::wstring thousand = LocaleText(LOCALE_STHOUSAND);
    NUMBERFMTW format{};
    format.NumDigits = static_cast<UINT>(decimals);
    format.LeadingZero = 1;
    format.Grouping = Grouping(LocaleText(LOCALE_SGROUPING));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    wchar_t digits[32];
    std::swprintf(digits, ARRAYSIZE(digits), L"%.*f", decimals, value);
    wchar_t written[64];
    int length = ::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits, &format, written, ARRAYSIZE(written));
    return length > 0 ? fw::FromWide(written, length - 1) : fw::FromWide(digits, static_cast<int>(std::wcslen(digits)));
}

std::string SayDuration(double seconds)
{
    static const UINT UNIT_TEXTS[] = {IDS_SECONDS, IDS_ONE_MINUTE, IDS_MINUTES, IDS_HOURS};
    TimeLeftWords words = SayTimeLeft(seconds);
    std::string amount = LocaleNumber(words.amount, words.unit == TimeLeftWords::Hours ? 1 : 0);
    return fw::FormatText(fw::LoadStringText(UNIT_TEXTS[words.unit]).c_str(), amount.c_str());
}

} // namespace

std::string FormatProgressLine(const JobCount& count, std::optional<double> secondsLeft)
{
    if (count.phase == JobPhase::None)
        return {};
    UINT countText = count.phase == JobPhase::ListingFiles ? IDS_FILE_COUNT : IDS_FRAME_COUNT;
    std::string line = fw::FormatText(fw::LoadStringText(countText).c_str(),
                                      LocaleNumber(std::clamp(count.done, 0, count.total), 0).c_str(),
                                      LocaleNumber(count.total, 0).c_str());
    if (!secondsLeft)
        return line;
    return fw::FormatText(fw::LoadStringText(IDS_TIME_LEFT).c_str(), line.c_str(), SayDuration(*secondsLeft).c_str());
}
