// The videos the job makes with each real encoder.
#include "RecordedReport.h"

#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/jobs/VideoJob.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// A copy of the fixture in the test's own folder: a frame is a hard link to its source, and a
// link cannot be deleted while another test's encoder holds the same file open. Later runs
// take the same copy.
std::string Own(const rig::TempFolder& root, const std::string& fixture)
{
    ::CopyFileA(fixtures::Path(fixture).c_str(), root.File(fixture).c_str(), TRUE);
    return root.File(fixture);
}

struct Frame {
    std::string source;
    std::string reference;  // what the frame shows: this picture after the filters; none: not compared
    std::string filters;
};

// The four sources in turn from the first, which sets the video's own size.
std::vector<Frame> Sequence(size_t first)
{
    const char* sources[] = {"video-422.jpg", "video-odd.jpg", "video-grey.jpg", "video.png"};
    std::vector<Frame> frames;
    for (size_t i = 0; i < std::size(sources); ++i)
        frames.push_back({sources[(first + i) % std::size(sources)], "", ""});
    return frames;
}

} // namespace

class VideoFormats : public ::testing::TestWithParam<const char*> {
protected:
    // The job's video by the encoder under test, probed, and one Windows' own player opens if an
    // MP4; no frame or work file left in the temporary folder.
    void MakeVideo(VideoJobInput& input, rig::VideoProbe& probe)
    {
        input.encoderPath = rig::EncoderPath(GetParam());
        RecordedReport report;
        JobResult result = RunVideoJob(input, report);
        ASSERT_EQ(result.textId, IDS_VIDEO_SUCCESS) << result.argument;
        const std::string& video = input.settings.DestinationFile;
        ASSERT_TRUE(rig::ProbeVideo(video, probe));
        if (video.substr(video.size() - 4) == ".mp4") {
            EXPECT_EQ(rig::Mp4PlaybackFaults(video, probe), "");
        }
        std::vector<std::string> left;
        EXPECT_TRUE(rig::WaitUntil([&] { return (left = rig::FilesIn(input.settings.TempPath, "*_*")).empty(); }, 5000))
            << "left behind: " << left[0];
    }
};

// Whatever the first source's sampling, size and type, the size, framing and deflicker choices
// and the folders' names, every container comes out whole, an MP4 is one Windows' own player
// opens, and, whatever the encoder does with EXIF, every frame shows its photo upright as the
// photo's orientation says, fitted with even bars, filled or stretched as chosen.
TEST_P(VideoFormats, EveryVideoComesOutWholeWithEachPhotoUprightAndFramedAsChosen)
{
    struct Run {
        std::vector<Frame> frames;
        int videoSize, framing;
        bool deflicker;
        const char* folder;  // the temporary folder's and the destination's, as users name them
        const char* type;
        const char* codec;
        int width, height;
    };
    const Frame upright{"orientation-1.jpg", "upright.png", "scale=320:240"};
    const Frame fitted{"orientation-1.jpg", "upright.png", "scale=1440:1080,pad=1920:1080:240:0"};
    std::vector<Run> runs{
        {Sequence(0), 1, 1, false, "100% done, temp", "mp4", "h264", 640, 480},
        {Sequence(1), 1, 1, true, "it's [draft] (2)", "mp4", "h264", 1000, 750},
        {Sequence(2), 1, 1, false, "several   spaces", "avi", "mpeg4", 320, 200},
        {Sequence(3), 7, 1, false, "\xD0\x9A\xD0\xB0\xD0\xB4\xD1\x80\xD1\x8B \xE5\x86\x99\xE7\x9C\x9F", "flv", "flv1", 1920, 1080},
        {{fitted, {"orientation-3.jpg", fitted.reference, fitted.filters}}, 7, 1, true, "frames", "mp4", "h264", 1920, 1080},
        {{{"orientation-1.jpg", "upright.png", "scale=1920:1440,crop=1920:1080"}}, 7, 2, false, "frames", "mp4", "h264", 1920, 1080},
        {{{"orientation-1.jpg", "upright.png", "scale=1920:1080"}}, 7, 3, false, "frames", "mp4", "h264", 1920, 1080},
        {{upright, {"portrait.jpg", "portrait.jpg", "scale=180:240,pad=320:240:70:0"}}, 1, 1, false, "frames", "mp4", "h264", 320, 240},
        {{upright, {"portrait.jpg", "portrait.jpg", "scale=180:240,pad=320:240:70:0"}}, 1, 1, true, "frames", "mp4", "h264", 320, 240},
    };
    // Stored on its side first: the video's own size is the upright photo's.
    Run everyOrientation{{}, 1, 1, false, "frames", "mp4", "h264", 320, 240};
    for (int orientation : {6, 7, 8, 1, 2, 3, 4, 5})
        everyOrientation.frames.push_back({"orientation-" + std::to_string(orientation) + ".jpg", upright.reference, upright.filters});
    runs.push_back(everyOrientation);
    rig::TempFolder root;
    for (const Run& run : runs) {
        VideoJobInput input;
        input.settings.TempPath = root.File(run.folder) + "\\";
        input.settings.DestinationFile = root.File(run.folder) + "\\out." + run.type;
        input.settings.VideoSize = run.videoSize;
        input.settings.Framing = run.framing;
        input.settings.Deflicker = run.deflicker;
        for (const Frame& frame : run.frames) {
            const char* type = frame.source.find(".png") != std::string::npos ? "PNG" : "JPG";
            input.images.Add({0, type, frame.source, Own(root, frame.source)});
        }
        SCOPED_TRACE("run " + std::to_string(&run - &runs[0]));
        rig::VideoProbe probe;
        ASSERT_NO_FATAL_FAILURE(MakeVideo(input, probe));
        EXPECT_EQ(std::tie(probe.codecName, probe.width, probe.height, probe.frameCount),
                  std::make_tuple(std::string(run.codec), run.width, run.height, static_cast<int>(run.frames.size())));
        for (size_t i = 0; i < run.frames.size(); ++i) {
            const Frame& frame = run.frames[i];
            if (frame.reference.empty())
                continue;
            std::vector<double> similarities =
                rig::FrameSimilarities(input.settings.DestinationFile, fixtures::Path(frame.reference), frame.filters);
            ASSERT_EQ(similarities.size(), run.frames.size());
            EXPECT_GE(similarities[i], 0.9) << "frame " << i << ": " << frame.reference << " after " << frame.filters;
        }
    }
}

// Three segments made at once and joined, or one run where the container cannot be joined
// exactly: the same stream, frame for frame, as one run's, at a rate whose frames last no
// whole number of milliseconds, with the deflicker's window reaching across the joins, from
// a folder whose name the join's list must quote and spell as the encoder reads it.
TEST_P(VideoFormats, SegmentsJoinIntoWhatOneRunMakes)
{
    rig::TempFolder root;
    VideoJobInput input;
    input.settings.FrameRate = 30;
    input.settings.Deflicker = true;
    input.minSegmentPixels = 0;
    for (int i = 1; i <= 30; ++i) {
        std::string name = (i < 10 ? "pan-0" : "pan-") + std::to_string(i) + ".jpg";
        input.images.Add({0, "JPG", name, Own(root, name)});
    }
    for (const char* type : {"mp4", "avi", "flv"}) {
        SCOPED_TRACE(type);
        std::string videos[2];
        rig::VideoProbe probes[2];
        for (int run = 0; run < 2; ++run) {
            input.cores = run == 0 ? 1 : 3;
            // A folder of its own: runs a second apart would share their frames' names.
            input.settings.TempPath = root.File(type + std::to_string(run) + " it's 100% [t\xe9mp]\\");
            input.settings.DestinationFile = videos[run] = root.File(std::to_string(input.cores) + "." + type);
            ASSERT_NO_FATAL_FAILURE(MakeVideo(input, probes[run]));
        }
        auto stream = [](const rig::VideoProbe& p) {
            return std::tie(p.formatName, p.codecName, p.profile, p.level, p.pixelFormat, p.width, p.height, p.frameRate, p.frameCount);
        };
        EXPECT_EQ(stream(probes[1]), stream(probes[0]));
        EXPECT_EQ(probes[1].frameCount, 30);
        const std::vector<long long>& times = probes[1].frameTimes;
        EXPECT_EQ(times, probes[0].frameTimes);
        // No gap and no repeat at a join; a millisecond clock rounds a frame's length either way.
        for (size_t i = 2; i < times.size(); ++i)
            EXPECT_NEAR(times[i] - times[i - 1], times[1] - times[0], 1) << "frame " << i;
        EXPECT_GE(rig::Ssim(videos[1], videos[0]), 0.99);
    }
}

// Camera-sized photos at 1080P in every container: a smaller file gives the smallest video and
// best the largest, each nearer its photos than the quality below; every MP4 is still one
// Windows' own player opens.
TEST_P(VideoFormats, EachQualityIsSmallerOrNearerThePhotosThanTheOneBelow)
{
    rig::TempFolder root;
    VideoJobInput input;
    input.settings.VideoSize = 7;
    input.images.Add({0, "JPG", "camera.jpg", Own(root, "camera.jpg")});
    for (const char* type : {"mp4", "avi", "flv"}) {
        SCOPED_TRACE(type);
        std::vector<std::pair<size_t, double>> made;  // bytes, SSIM
        for (input.settings.Quality = 1; input.settings.Quality <= 3; ++input.settings.Quality) {
            std::string name = type + std::to_string(input.settings.Quality);
            input.settings.TempPath = root.File(name + "\\");
            input.settings.DestinationFile = root.File(name + "." + type);
            rig::VideoProbe probe;
            ASSERT_NO_FATAL_FAILURE(MakeVideo(input, probe));
            std::vector<double> ssim = rig::FrameSimilarities(input.settings.DestinationFile, fixtures::Path("camera.jpg"),
                                                              "scale=1440:1080,pad=1920:1080:240:0");
            ASSERT_EQ(ssim.size(), 1u);
            made.push_back({rig::ReadFileBytes(input.settings.DestinationFile).size(), ssim[0]});
        }
        EXPECT_TRUE(made[0].first < made[1].first && made[1].first < made[2].first);
        EXPECT_TRUE(made[0].second < made[1].second && made[1].second < made[2].second);
    }
}

INSTANTIATE_TEST_SUITE_P(Encoders, VideoFormats, ::testing::ValuesIn(rig::ENCODERS));
