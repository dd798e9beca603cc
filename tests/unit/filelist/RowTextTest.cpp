#include "filelist/RowText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

// The C library's local time zone, for this test's process only. The setting is a literal,
// which putenv may keep.
void UseTimeZone(const char* setting)
{
    putenv(const_cast<char*>(setting));
    tzset();
}

} // namespace

TEST(RowText, CreatedTimeRoundTripsAsLocalTimeWithThatDatesDaylightSaving)
{
    struct Case {
        const char* zone;
        int64_t seconds;
        const char* text;
    } cases[] = {{"TZ=UTC0", 0, "01/01/1970 00:00:00"},
                 {"TZ=UTC0", 1331111100, "03/07/2012 09:05:00"},
                 {"TZ=UTC0", 1331154000, "03/07/2012 21:00:00"},
                 {"TZ=UTC0", (int64_t{1} << 31) + 1000, "01/19/2038 03:30:48"},
                 // July: daylight saving, four hours behind UTC; January: five.
                 {"TZ=EST5EDT", 1593878400, "07/04/2020 12:00:00"},
                 {"TZ=EST5EDT", 1578157200, "01/04/2020 12:00:00"}};
    for (const Case& c : cases) {
        UseTimeZone(c.zone);
        EXPECT_EQ(FormatCreatedTime(c.seconds), c.text);
        EXPECT_EQ(ParseCreatedTime(c.text), c.seconds) << c.text;
    }
}

TEST(RowText, ParseAcceptsWhatTheScanPatternAcceptsAndElseGivesZero)
{
    UseTimeZone("TZ=UTC0");
    const std::pair<const char*, int64_t> cells[] = {
        {"3/7/2012 9:5:0", 1331111100}, {" 03/07/2012   09:05:00 trailing", 1331111100}, {"", 0}, {"03/07/2012", 0},
        {"03-07-2012 09:05:00", 0}, {"aa/07/2012 09:05:00", 0}, {"03/07/2012 09:05:", 0},
        {"99999999999999/07/2012 09:05:00", 0}};
    for (const auto& [text, seconds] : cells)
        EXPECT_EQ(ParseCreatedTime(text), seconds) << text;
}
