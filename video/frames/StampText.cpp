#include "video/frames/StampText.h"

#include "app/SettingsRules.h"
#include "imaging/ImageFile.h"

#include <windows.h>

namespace {

constexpr int FORMATTED_CHARS = 128;

// A date the camera's clock gave, checked by Windows and given its day of the week.
bool CameraTime(const DateTaken& date, SYSTEMTIME& time)
{
    if (!date.known)
        return false;
    SYSTEMTIME asTaken{static_cast<WORD>(date.year), static_cast<WORD>(date.month), 0, static_cast<WORD>(date.day),
                       static_cast<WORD>(date.hour), static_cast<WORD>(date.minute), static_cast<WORD>(date.second),
                       static_cast<WORD>(date.millisecond)};
    FILETIME checked{};
    return ::SystemTimeToFileTime(&asTaken, &checked) && ::FileTimeToSystemTime(&checked, &time);
}

// A time too near either end of the calendar to move into the local zone stays in UTC.
bool LastWriteTime(const std::string& path, SYSTEMTIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SYSTEMTIME utc{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)
        || !::FileTimeToSystemTime(&data.ftLastWriteTime, &utc))
        return false;
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &time))
        time = utc;
    return true;
}

std::wstring ShortDate(const SYSTEMTIME& time)
{
    wchar_t text[FORMATTED_CHARS] = {};
    return ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, FORMATTED_CHARS, nullptr)
             ? text
             : L"";
}

// The short time format is a locale value of its own; GetTimeFormatEx's default is the long one.
std::wstring ShortTime(const SYSTEMTIME& time)
{
    wchar_t format[FORMATTED_CHARS] = {};
    wchar_t text[FORMATTED_CHARS] = {};
    bool shortFormat = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTTIME, format, FORMATTED_CHARS) > 0;
    return ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, shortFormat ? 0 : TIME_NOSECONDS, &time,
                             shortFormat ? format : nullptr, text, FORMATTED_CHARS)
             ? text
             : L"";
}

} // namespace

std::wstring StampText(const std::string& sourcePath, int stamp)
{
    if (stamp == settings_rules::STAMP_NONE)
        return L"";
    CImageFile header;
    header.LoadHeader(sourcePath);
    SYSTEMTIME time{};
    if (!CameraTime(header.GetDateTaken(), time) && !LastWriteTime(sourcePath, time))
        return L"";
    std::wstring date = ShortDate(time);
    if (stamp != settings_rules::STAMP_DATE_TIME || date.empty())
        return date;
    std::wstring clock = ShortTime(time);
    return clock.empty() ? L"" : date + L" " + clock;
}

bool UserReadsRightToLeft()
{
    DWORD layout = 0;
    // Reading layout 1 is right to left; 2 and 3 are vertical scripts, which keep the line.
    return ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_IREADINGLAYOUT | LOCALE_RETURN_NUMBER,
                             reinterpret_cast<LPWSTR>(&layout), sizeof(layout) / sizeof(wchar_t)) > 0
        && layout == 1;
}
