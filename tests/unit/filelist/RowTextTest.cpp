#include "filelist/RowText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

// Runs the body with the C library's local time zone set to the given rule.
class TimeZone {
public:
    explicit TimeZone(const char* rule)
    {
        const char* old = std::getenv("TZ");
        m_hadOld = old != nullptr;
        if (old)
            m_old = old;
        Set(rule);
    }
    ~TimeZone()
    {
        if (m_hadOld)
            Set(m_old.c_str());
        else
            Set(nullptr);
    }

private:
    static void Set(const char* rule)
    {
#ifdef _WIN32
        _putenv_s("TZ", rule ? rule : "");
        _tzset();
#else
        if (rule)
            setenv("TZ", rule, 1);
        else
            unsetenv("TZ");
        tzset();
#endif
    }
    bool m_hadOld = false;
    std::string m_old;
};

} // namespace

TEST(RowText, DimensionsUseACapitalXWithSpaces)
{
    EXPECT_EQ(FormatDimensions(1920, 1080), "1920 X 1080");
    EXPECT_EQ(FormatDimensions(0, 0), "0 X 0");
    EXPECT_EQ(FormatDimensions(100000, 100000), "100000 X 100000");
}

TEST(RowText, CreatedTimeIsZeroPaddedTwentyFourHour)
{
    TimeZone utc("UTC0");
    EXPECT_EQ(FormatCreatedTime(0), "01/01/1970 00:00:00");
    EXPECT_EQ(FormatCreatedTime(1331111100), "03/07/2012 09:05:00");
    EXPECT_EQ(FormatCreatedTime(1331154000), "03/07/2012 21:00:00");
}

TEST(RowText, TimesAfter2038SurviveTheRoundTrip)
{
    TimeZone utc("UTC0");
    int64_t after2038 = (int64_t{1} << 31) + 1000;
    EXPECT_EQ(FormatCreatedTime(after2038), "01/19/2038 03:30:48");
    EXPECT_EQ(ParseCreatedTime("01/19/2038 03:30:48"), after2038);
    EXPECT_EQ(ParseCreatedTime(FormatCreatedTime(4102444800)), 4102444800);  // 2100
}

TEST(RowText, ParseReadsLocalTimeWithDaylightSavingForThatDate)
{
    TimeZone eastern("EST5EDT");
    // July: daylight saving, four hours behind UTC; January: five.
    EXPECT_EQ(ParseCreatedTime("07/04/2020 12:00:00"), 1593878400);
    EXPECT_EQ(ParseCreatedTime("01/04/2020 12:00:00"), 1578157200);
    EXPECT_EQ(FormatCreatedTime(1593878400), "07/04/2020 12:00:00");
    EXPECT_EQ(FormatCreatedTime(1578157200), "01/04/2020 12:00:00");
}

TEST(RowText, ParseAcceptsWhatTheScanPatternAccepts)
{
    TimeZone utc("UTC0");
    EXPECT_EQ(ParseCreatedTime("3/7/2012 9:5:0"), 1331111100);
    EXPECT_EQ(ParseCreatedTime(" 03/07/2012   09:05:00 trailing"), 1331111100);
}

TEST(RowText, EmptyOrUnparseableCellsGiveZero)
{
    TimeZone utc("UTC0");
    EXPECT_EQ(ParseCreatedTime(""), 0);
    EXPECT_EQ(ParseCreatedTime("03/07/2012"), 0);
    EXPECT_EQ(ParseCreatedTime("03-07-2012 09:05:00"), 0);
    EXPECT_EQ(ParseCreatedTime("aa/07/2012 09:05:00"), 0);
    EXPECT_EQ(ParseCreatedTime("03/07/2012 09:05:"), 0);
    EXPECT_EQ(ParseCreatedTime("99999999999999/07/2012 09:05:00"), 0);
}
