#include "tests/fixtures/EncoderWords.h"
#include "video/EncoderCommandLine.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

Words operator+(Words left, const Words& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

} // namespace

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
    EXPECT_EQ(FormatTimePrefix(time), "20121105040000");
}

TEST(EncoderCommandLine, EachChoiceReachesTheEncoderAsTheseArguments)
{
    const std::string EVEN = "crop=trunc(iw/2)*2:trunc(ih/2)*2:0:0";
    const Words H264 = {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-profile:v", "high"};
    const Words FASTSTART = {"-movflags", "+faststart"};
    const Words INPUT = {"-y", "-f", "image2", "-i", "D:\\t e\\20000101000000_%04d.jpg"};
    struct Case {
        int rate;
        int size;
        bool deflicker;
        std::string destination;
        Words arguments;
    } cases[] = {
        {25, 1, false, "C:\\My Videos\\a b.mp4", Words{"-r", "25"} + INPUT + Words{"-vf", EVEN} + H264 + FASTSTART},
        // 4K is held to level 5.1, the highest Windows' own decoder takes.
        {75, 9, false, "C:\\v.MP4",
         Words{"-r", "50"} + INPUT + Words{"-s", "3840x2160"} + H264 + Words{"-level", "5.1"} + FASTSTART},
        {0, 3, true, "C:\\v.avi",
         Words{"-r", "1"} + INPUT
             + Words{"-s", "360x240", "-vf", "deflicker=size=10", "-c:v", "mpeg4", "-vtag", "xvid", "-q:v", "2"}},
        {10, 0, true, "C:\\v.flv",
         Words{"-r", "10"} + INPUT + Words{"-vf", "deflicker=size=10," + EVEN, "-c:v", "flv1", "-q:v", "2"}},
        {25, 7, false, "C:\\in.mp4\\clip", Words{"-r", "25"} + INPUT + Words{"-s", "1920x1080"}},
    };
    for (const Case& c : cases) {
        std::string line =
            BuildEncoderCommandLine(c.rate, c.size, c.deflicker, "D:\\t e\\", "20000101000000", c.destination);
        EXPECT_EQ(line[0], ' ') << "the program name must be empty";
        EXPECT_EQ(fixtures::EncoderWords(line), c.arguments + Words{c.destination}) << line;
    }
}
