// The preview's drafts, made by each real encoder.
#include "RecordedReport.h"

#include "app/FileSystem.h"
#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/jobs/PreviewJob.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

class PreviewJob : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { m_input.encoderPath = rig::EncoderPath(GetParam()); }

    // A copy in the test's folder: a frame is a link to its source.
    void AddRow(const std::string& fixture)
    {
        std::string name = std::to_string(m_input.images.GetCount()) + "-" + fixture;
        ::CopyFileA(fixtures::Path(fixture).c_str(), m_root.File(name).c_str(), TRUE);
        m_input.images.Add({0, "JPG", name, m_root.File(name)});
    }

    std::vector<std::string> Drafts() const { return rig::FilesIn(m_drafts.Path(), "*.mp4"); }

    rig::TempFolder m_root;
    // Drafts go to the user's temporary folder: here, one of the test's own.
    rig::TempFolder m_drafts;
    rig::ScopedVariable m_tmp{"TMP", m_drafts.Path()};
    VideoJobInput m_input;
};

} // namespace

// Whatever the size, framing, deflicker and every Nth chosen, and whatever type the video is,
// the draft is an MP4 Windows' own player opens, of the video's shape at most 640 wide, with
// the video's frames in the same order and framed the same way.
TEST_P(PreviewJob, DraftShowsTheVideosFramesSmaller)
{
    struct Run {
        std::vector<const char*> sources;
        int videoSize, framing, everyNth;
        bool deflicker;
        const char* type;
    };
    // Camera-sized first frames are read at a quarter of their size; the deflicker path scales
    // every frame to the first's size as read.
    const Run runs[] = {
        {{"camera.jpg", "portrait.jpg", "video-odd.jpg", "orientation-6.jpg"}, 7, 1, 1, false, "mp4"},
        {{"video-odd.jpg", "camera.jpg", "portrait.jpg"}, 1, 2, 1, true, "mp4"},
        {{"camera.jpg", "portrait.jpg", "video-422.jpg", "orientation-3.jpg", "video-odd.jpg"}, 6, 3, 2, true, "avi"},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE("run " + std::to_string(&run - runs));
        m_input.images.RemoveAll();
        for (const char* source : run.sources)
            AddRow(source);
        m_input.settings.VideoSize = run.videoSize;
        m_input.settings.Framing = run.framing;
        m_input.settings.EveryNth = run.everyNth;
        m_input.settings.Deflicker = run.deflicker;
        std::string name = std::to_string(&run - runs);
        m_input.settings.TempPath = m_root.File(name + "\\");
        m_input.settings.DestinationFile = m_root.File(name + "." + run.type);
        RecordedReport report;
        ASSERT_EQ(RunVideoJob(m_input, report).textId, IDS_VIDEO_SUCCESS);
        m_input.settings.TempPath = m_root.File(name + " draft\\");
        std::string draft = NewDraftFile();
        JobResult result = RunPreviewJob(m_input, draft, report);
        ASSERT_EQ(result.textId, IDS_VIDEO_SUCCESS) << result.argument;

        rig::VideoProbe video, preview;
        ASSERT_TRUE(rig::ProbeVideo(m_input.settings.DestinationFile, video));
        ASSERT_TRUE(rig::ProbeVideo(draft, preview));
        EXPECT_EQ(rig::Mp4PlaybackFaults(draft, preview), "");
        EXPECT_EQ(preview.frameCount, video.frameCount);
        EXPECT_LE(preview.width, 640);
        EXPECT_NEAR(preview.height, 1.0 * video.height * preview.width / video.width, 1.0);
        std::string toDraftSize = "scale=" + std::to_string(preview.width) + ":" + std::to_string(preview.height);
        std::vector<double> similarities = rig::FrameSimilarities(draft, m_input.settings.DestinationFile, toDraftSize);
        ASSERT_EQ(static_cast<int>(similarities.size()), video.frameCount);
        for (size_t i = 0; i < similarities.size(); ++i)
            EXPECT_GE(similarities[i], 0.8) << "frame " << i;
        EXPECT_EQ(Drafts(), std::vector<std::string>{draft.substr(draft.find_last_of('\\') + 1)});
    }
}

// A draft cancelled or failed leaves no file; one a player
// holds stays, the next draft takes another name, and it goes once let go.
TEST_P(PreviewJob, OnlyADraftAPlayerHoldsIsLeft)
{
    for (const char* source : {"pan-01.jpg", "pan-02.jpg", "pan-03.jpg"})
        AddRow(source);
    m_input.settings.TempPath = m_root.File("frames\\");
    RecordedReport cancel;
    cancel.stopFrom = 1;
    EXPECT_EQ(RunPreviewJob(m_input, NewDraftFile(), cancel).textId, 0u);
    EXPECT_EQ(Drafts(), std::vector<std::string>{});

    rig::WriteFileBytes(m_root.File("not a folder"), "");
    VideoJobInput failing = m_input;
    failing.settings.TempPath = m_root.File("not a folder\\frames\\");
    RecordedReport report;
    EXPECT_EQ(RunPreviewJob(failing, NewDraftFile(), report).textId, static_cast<unsigned>(IDS_TEMP_PATH_MISSING));
    EXPECT_EQ(Drafts(), std::vector<std::string>{});

    std::string held = NewDraftFile();
    ASSERT_EQ(RunPreviewJob(m_input, held, report).textId, IDS_VIDEO_SUCCESS);
    fw::unique_file player(::CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(player);
    std::string next = NewDraftFile();
    EXPECT_NE(next, held);
    ASSERT_EQ(RunPreviewJob(m_input, next, report).textId, IDS_VIDEO_SUCCESS);
    EXPECT_EQ(Drafts().size(), 2u);
    player.reset();
    DeleteDrafts();
    EXPECT_EQ(Drafts(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Encoders, PreviewJob, ::testing::ValuesIn(rig::ENCODERS));
