// The MP4s the job makes with the real encoder: whatever the first source's sampling, size
// and type, the size choice and the deflicker choice, Windows' own player can open them.
#include "RecordedReport.h"

#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/VideoJob.h"

#include <gtest/gtest.h>

TEST(VideoFormats, Mp4IsHighProfile420EvenSizedAndIndexedFirstWhateverTheSources)
{
    const char* sources[] = {"video-422.jpg", "video-odd.jpg", "video-grey.jpg", "video.png"};
    struct Run {
        size_t first;  // the source that opens the sequence and so sets the own size
        int videoSize, width, height;
        bool deflicker;
    } runs[] = {{0, 1, 640, 480, false}, {1, 1, 1000, 750, true}, {2, 1, 320, 200, false}, {3, 7, 1920, 1080, false}};
    rig::TempFolder root;
    for (const Run& run : runs) {
        SCOPED_TRACE(sources[run.first] + std::string(" first, size choice ") + std::to_string(run.videoSize)
                     + (run.deflicker ? ", deflicker" : ""));
        VideoJobInput input;
        input.settings.TempPath = root.File("frames\\");
        input.settings.DestinationFile = root.File("out.mp4");
        input.settings.VideoSize = run.videoSize;
        input.settings.Deflicker = run.deflicker;
        input.encoderPath = rig::ExecutableDirectory() + "ffmpeg.exe";
        for (size_t i = 0; i < std::size(sources); ++i) {
            std::string name = sources[(run.first + i) % std::size(sources)];
            input.images.Add({0, name.substr(name.size() - 3) == "png" ? "PNG" : "JPG", name, fixtures::Path(name)});
        }
        RecordedReport report;
        EXPECT_EQ(RunVideoJob(input, report).textId, IDS_VIDEO_SUCCESS);
        rig::VideoProbe probe;
        ASSERT_TRUE(rig::ProbeVideo(input.settings.DestinationFile, probe));
        EXPECT_EQ(rig::Mp4PlaybackFaults(input.settings.DestinationFile, probe), "");
        EXPECT_EQ(probe.width, run.width);
        EXPECT_EQ(probe.height, run.height);
        EXPECT_EQ(probe.frameCount, static_cast<int>(std::size(sources)));
    }
}
