// A preview's draft that is not made, with each real encoder.
#include "RecordedReport.h"

#include "app/SettingsRules.h"
#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/jobs/PreviewJob.h"

#include <gtest/gtest.h>

class PreviewJob : public ::testing::TestWithParam<const char*> {};

// Cancelled, or failed with the reason a video gives: no file is left.
TEST_P(PreviewJob, ADraftNotMadeLeavesNoFile)
{
    rig::TempFolder root;
    rig::TempFolder drafts;
    rig::ScopedVariable tmp("TMP", drafts.Path());
    VideoJobInput input;
    input.encoderPath = rig::EncoderPath(GetParam());
    for (const char* fixture : {"pan-01.jpg", "pan-02.jpg"}) {
        ::CopyFileA(fixtures::Path(fixture).c_str(), root.File(fixture).c_str(), FALSE);
        input.images.Add({0, "JPG", fixture, root.File(fixture)});
    }
    input.settings.TempPath = root.File("frames\\");
    RecordedReport cancel;
    cancel.stopFrom = 1;
    EXPECT_EQ(RunPreviewJob(input, NewDraftFile(), cancel).textId, 0u);
    EXPECT_EQ(rig::FilesIn(drafts.Path()), std::vector<std::string>{});
    rig::WriteFileBytes(root.File("file"), "");
    input.settings.TempPath = root.File("file\\frames\\");
    RecordedReport report;
    EXPECT_EQ(RunPreviewJob(input, NewDraftFile(), report).textId, static_cast<unsigned>(IDS_TEMP_PATH_MISSING));
    EXPECT_EQ(rig::FilesIn(drafts.Path()), std::vector<std::string>{});
}

// A stamped draft: its frames drawn at the draft's size, whatever the photos', and nothing left.
TEST_P(PreviewJob, AStampedDraftPlaysAtTheDraftsSize)
{
    rig::TempFolder root;
    rig::ScopedVariable tmp("TMP", root.Path());
    VideoJobInput input;
    input.encoderPath = rig::EncoderPath(GetParam());
    input.images.Add({0, "JPG", "camera.jpg", fixtures::Path("camera.jpg")});
    input.images.Add({0, "JPG", "pan-01.jpg", fixtures::Path("pan-01.jpg")});
    input.settings.TempPath = root.File("frames\\");
    input.settings.VideoSize = 7;
    input.settings.Stamp = settings_rules::STAMP_DATE_TIME;
    std::string draft = NewDraftFile();
    RecordedReport report;
    ASSERT_EQ(RunPreviewJob(input, draft, report).textId, static_cast<unsigned>(IDS_VIDEO_SUCCESS));
    rig::VideoProbe probe;
    ASSERT_TRUE(rig::ProbeVideo(draft, probe));
    EXPECT_EQ(std::vector<int>({probe.width, probe.height, probe.frameCount}), std::vector<int>({640, 360, 2}));
    EXPECT_EQ(rig::FilesIn(root.File("frames\\")), std::vector<std::string>{});
    DeleteDrafts();
}

INSTANTIATE_TEST_SUITE_P(Encoders, PreviewJob, ::testing::ValuesIn(rig::ENCODERS));
