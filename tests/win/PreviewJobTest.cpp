// A preview's draft that is not made, with each real encoder.
#include "RecordedReport.h"

#include "resource.h"
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

INSTANTIATE_TEST_SUITE_P(Encoders, PreviewJob, ::testing::ValuesIn(rig::ENCODERS));
