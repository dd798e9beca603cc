#include "filelist/RowText.h"

#include <cctype>
#include <cstdio>
#include <ctime>

std::string FormatRowNumber(int number)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%04d", number);
    return text;
}

std::string FormatDimensions(int width, int height)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%d X %d", width, height);
    return text;
}

std::string FormatCreatedTime(int64_t seconds)
{
    std::time_t time = static_cast<std::time_t>(seconds);
    if (static_cast<int64_t>(time) != seconds)
        return std::string();
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &time) != 0)
        return std::string();
#else
    if (!localtime_r(&time, &local))
        return std::string();
#endif
    char text[64];
    if (std::strftime(text, sizeof(text), "%m/%d/%Y %H:%M:%S", &local) == 0)
        return std::string();
    return text;
}

std::string FormatDateTaken(const DateTaken& date)
{
    if (!date.known)
        return std::string();
    char text[64];
    std::snprintf(text, sizeof(text), "%02d/%02d/%04d %02d:%02d:%02d", date.month, date.day, date.year, date.hour,
                  date.minute, date.second);
    return text;
}

namespace {

// One "%d" of scanf: optional white space, optional sign, digits. Nine digits at most, so
// the value cannot overflow.
bool ScanInt(const char*& p, int& value)
{
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    int digits = 0;
    long long result = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        if (++digits > 9)
            return false;
        result = result * 10 + (*p++ - '0');
    }
    if (digits == 0)
        return false;
    value = static_cast<int>(negative ? -result : result);
    return true;
}

bool ScanLiteral(const char*& p, char literal)
{
    if (literal == ' ') {
        while (std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        return true;
    }
    if (*p != literal)
        return false;
    ++p;
    return true;
}

} // namespace

int64_t ParseCreatedTime(const std::string& text)
{
    // "%d/%d/%d %d:%d:%d": month, day, year, hour, minute, second.
    int fields[6];
    const char separators[] = "// ::";
    const char* p = text.c_str();
    for (int i = 0; i < 6; ++i) {
        if (i > 0 && !ScanLiteral(p, separators[i - 1]))
            return 0;
        if (!ScanInt(p, fields[i]))
            return 0;
    }
    std::tm local{};
    local.tm_mon = fields[0] - 1;
    local.tm_mday = fields[1];
    local.tm_year = fields[2] - 1900;
    local.tm_hour = fields[3];
    local.tm_min = fields[4];
    local.tm_sec = fields[5];
    local.tm_isdst = -1;
    std::time_t time = std::mktime(&local);
    return time == static_cast<std::time_t>(-1) ? 0 : static_cast<int64_t>(time);
}
