#include "video/EncoderCommandLine.h"

#include <gtest/gtest.h>

TEST(EncoderCommandLine, FrameNamesJoinFolderPrefixAndFourDigitNumber)
{
    EXPECT_EQ(FormatFrameFileName("C:\\Temp\\", "20121105143000", 1), "C:\\Temp\\20121105143000_0001.jpg");
    EXPECT_EQ(FormatFrameFileName("C:\\Temp\\", "20121105143000", 9999), "C:\\Temp\\20121105143000_9999.jpg");
}

TEST(EncoderCommandLine, TimePrefixIsFourteenZeroPaddedDigits)
{
    std::tm time{};
    time.tm_year = 2012 - 1900;
    time.tm_mon = 10;
    time.tm_mday = 5;
    time.tm_hour = 4;
    time.tm_min = 3;
    time.tm_sec = 0;
    EXPECT_EQ(FormatTimePrefix(time), "20121105040300");
}

TEST(EncoderCommandLine, OwnSizeLeavesTwoBlanksBeforeTheDestination)
{
    EXPECT_EQ(BuildEncoderCommandLine(25, 1, "C:\\Temp\\", "20121105143000", "C:\\Videos\\a b.mp4"),
              " -r 25 -y -f image2 -i \"C:\\Temp\\20121105143000_%04d.jpg\"  \"C:\\Videos\\a b.mp4\"");
}

TEST(EncoderCommandLine, FixedSizeStandsAfterTheInput)
{
    EXPECT_EQ(BuildEncoderCommandLine(10, 3, "D:\\t\\", "20000101000000", "D:\\v.flv"),
              " -r 10 -y -f image2 -i \"D:\\t\\20000101000000_%04d.jpg\" -s 360x240 \"D:\\v.flv\"");
}

TEST(EncoderCommandLine, RateAndSizeAreClampedToTheirRanges)
{
    EXPECT_NE(BuildEncoderCommandLine(0, 1, "", "", "x").find(" -r 1 "), std::string::npos);
    EXPECT_NE(BuildEncoderCommandLine(75, 1, "", "", "x").find(" -r 50 "), std::string::npos);
    EXPECT_EQ(VideoSizeOption(9), "-s 1280x720");
    EXPECT_EQ(VideoSizeOption(-3), "");
    const char* expected[] = {"", "-s 180x120", "-s 360x240", "-s 720x240", "-s 720x480", "-s 1280x720"};
    for (int size = 1; size <= 6; ++size)
        EXPECT_EQ(VideoSizeOption(size), expected[size - 1]);
}
