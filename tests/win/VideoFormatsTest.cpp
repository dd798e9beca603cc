// The MP4s the job makes from real encoder runs: whatever the sources' sampling, size and
// type, and whatever the size choice, Windows' own player can open them.
#include "WorkDialogFixture.h"

#include "app/Globals.h"
#include "resource.h"
#include "rig/Media.h"

#include <gtest/gtest.h>

namespace {

// Drawn by ImageMagick: JPEG samplings 4:2:0, 4:2:2 and 4:4:4, an odd size, grey, and a PNG.
const std::pair<const char*, const char*> SOURCES[] = {
    {"s420.jpg", "-size 640x480 gradient:red-blue -sampling-factor 2x2"},
    {"s422.jpg", "-size 640x480 gradient:green-yellow -sampling-factor 2x1"},
    {"s444.jpg", "-size 800x600 gradient:white-navy -sampling-factor 1x1"},
    {"odd.jpg", "-size 1001x751 gradient:orange-teal -sampling-factor 2x1"},
    {"grey.jpg", "-size 320x200 gradient: -colorspace gray"},
    {"photo.png", "-size 500x300 gradient:purple-lime"},
};

} // namespace

TEST(VideoFormats, Mp4IsHighProfile420EvenSizedAndIndexedFirstWhateverTheSources)
{
    rig::TempFolder root;
    for (const auto& [name, drawing] : SOURCES)
        ASSERT_EQ(rig::RunHostTool("convert", std::string(drawing) + " \"" + root.File(name) + "\""), 0);

    struct Run {
        size_t first;  // the source that opens the sequence and so sets the own size
        int videoSize, width, height;
    } runs[] = {{1, 1, 640, 480}, {3, 1, 1000, 750}, {4, 1, 320, 200}, {2, 3, 360, 240}, {5, 7, 1920, 1080}};
    for (const Run& run : runs) {
        SCOPED_TRACE(SOURCES[run.first].first + std::string(" first, size choice ") + std::to_string(run.videoSize));
        g_settings = CIniSettings();
        g_settings.TempPath = root.File("frames\\");
        g_settings.DestinationFile = root.File("out.mp4");
        g_settings.VideoSize = run.videoSize;
        MainWindowHost main;
        for (size_t i = 0; i < std::size(SOURCES); ++i) {
            std::string name = SOURCES[(run.first + i) % std::size(SOURCES)].first;
            main.AddRow(name.substr(name.size() - 3) == "png" ? "PNG" : "JPG", root.File(name));
        }
        RecordingWaitDlg dialog;
        dialog.m_pMainDlg = &main.Window();
        dialog.m_bMakeVideo = TRUE;
        dialog.SetMessageId(IDS_MAKING_VIDEO);
        EXPECT_EQ(RunWorkDialog(dialog).text, "Make time lapse video success.");

        rig::VideoProbe probe;
        ASSERT_TRUE(rig::ProbeVideo(g_settings.DestinationFile, probe));
        EXPECT_EQ(rig::Mp4PlaybackFaults(g_settings.DestinationFile, probe), "");
        EXPECT_EQ(probe.width, run.width);
        EXPECT_EQ(probe.height, run.height);
        EXPECT_EQ(probe.frameCount, static_cast<int>(std::size(SOURCES)));
    }
}
