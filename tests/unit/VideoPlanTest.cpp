#include "video/encoder/EncoderCommandLine.h"
#include "video/jobs/VideoPlan.h"

#include <gtest/gtest.h>

#include <tuple>

// Which rows every N-th takes is the video job's to show; here, N held in 1..100 and the count
// the settings dialog tells matching what is taken.
TEST(VideoPlan, EveryNthIsHeldInRangeAndCountedAsTaken)
{
    const std::vector<ImageFileInfo> rows(250);
    for (const auto& [count, everyNth, taken] : {std::tuple{250, 0, 250}, {250, 500, 3}, {100, 3, 34}, {99, 3, 33}, {0, 3, 0}}) {
        EXPECT_EQ(TakeEveryNth({rows.begin(), rows.begin() + count}, everyNth).size(), static_cast<size_t>(taken));
        EXPECT_EQ(EveryNthCount(count, everyNth), taken);
    }
}

// Short videos to the hundredth, without trailing zeros; longer ones in whole seconds, then
// minutes and seconds, then hours and minutes, each rounded once.
TEST(VideoPlan, LengthIsSaidInItsLargestSensibleUnit)
{
    using Unit = VideoLength::Unit;
    // Frames, rate, and the length: unit, first amount, its decimals, second amount.
    const std::tuple<int, int, Unit, double, int, int> cases[] = {
        {34, 25, Unit::Seconds, 1.36, 2, 0},  {1, 25, Unit::Seconds, 0.04, 2, 0},   {5, 2, Unit::Seconds, 2.5, 1, 0},
        {0, 25, Unit::Seconds, 0, 0, 0},      {1000, 25, Unit::Seconds, 40, 0, 0}, {1499, 25, Unit::MinutesAndSeconds, 1, 0, 0},
        {9999, 1, Unit::HoursAndMinutes, 2, 0, 47}, {3599 * 50 + 30, 50, Unit::HoursAndMinutes, 1, 0, 0},
    };
    for (const auto& [frames, rate, unit, first, decimals, second] : cases) {
        VideoLength length = SayVideoLength(frames, rate);
        EXPECT_EQ(std::tie(length.unit, length.first, length.decimals, length.second), std::tie(unit, first, decimals, second))
            << frames << " frames at " << rate;
    }
}

// Standard keeps the line the encoder was always given; the others change only the codec's
// settings, and out of range is held to the nearest.
TEST(EncoderCommandLine, QualityChangesOnlyTheCodecSettingsAndStandardIsTheLineOfOld)
{
    const std::string input = " -r 25 -y -f image2 -noautorotate -i \"C:\\t\\20240506070809_%04d.jpg\"  -vf "
                              "scale=w=1920-4*round((1920-iw*min(1920/iw\\,1080/ih))/4):h=1080-4*round((1080-ih*min("
                              "1920/iw\\,1080/ih))/4),pad=1920:1080:(ow-iw)/2:(oh-ih)/2,setsar=1";
    const std::string h264 = " -c:v libx264 -pix_fmt yuv420p -color_range tv -profile:v high";
    const struct {
        int quality;
        const char* type;
        std::string codec;
    } cases[] = {
        {2, "mp4", h264 + " -movflags +faststart"},
        {0, "mp4", h264 + " -crf 28 -movflags +faststart"},
        {3, "mp4", h264 + " -crf 18 -preset slow -movflags +faststart"},
        {2, "avi", " -c:v mpeg4 -vtag xvid -q:v 2"},
        {1, "avi", " -c:v mpeg4 -vtag xvid -q:v 5"},
        {9, "flv", " -c:v flv1 -qmin 1 -q:v 1"},
    };
    for (const auto& c : cases) {
        std::string destination = std::string("C:\\v\\out.") + c.type;
        EXPECT_EQ(BuildEncoderCommandLine(25, 7, 1, false, c.quality, {4000, 3000}, 100, "C:\\t\\", "20240506070809",
                                          destination),
                  input + c.codec + " \"" + destination + "\"");
    }
}
