#include "RecordedReport.h"

#include "app/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "resource.h"
#include "rig/HostTool.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/ConvertToJpeg.h"
#include "video/VideoJob.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// What the stand-in encoder does when the job starts it (tests/stand-in).
void UseStandIn(const char* mode)
{
    ::SetEnvironmentVariableA("LUMVEX_STAND_IN", mode);
}

class VideoJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Not there yet: the job creates it silently.
        m_temp = m_root.File("new\\frames \xC3\xA9t\xC3\xA9 \xE5\x86\x99\\");
        m_input.settings.TempPath = m_temp;
        m_input.settings.DestinationFile = m_root.File("out.mp4");
        m_input.encoderPath = rig::ExecutableDirectory() + "stand-in\\ffmpeg.exe";
    }
    void TearDown() override { UseStandIn(nullptr); }

    // A copy of the fixture under a name of the test's own.
    std::string Source(const std::string& fixture, const std::string& name)
    {
        EXPECT_TRUE(rig::CopyFileTo(fixtures::Path(fixture), m_root.File(name)));
        return m_root.File(name);
    }

    void AddRow(const std::string& type, const std::string& path)
    {
        m_input.images.Add({0, type, path.substr(path.find_last_of('\\') + 1), path});
    }

    rig::TempFolder m_root;
    std::string m_temp;
    VideoJobInput m_input;
};

} // namespace

// Every ending: the video; an encoder that fails (leaving half a video), crashes or writes
// nothing; nothing to encode; a temporary folder that cannot be made; a segment that fails,
// with its encoder's reason; a stop at any step, of one encoder or of segments made at once.
// Each ends with its own text and leaves no frame, no encoder and no video but a finished one.
// The frames reach the encoder in row order, numbered without gaps, though conversions run on
// every core, each the same bytes as a conversion on its own; JPEG frames are links to their
// untouched sources, or copies of read-only ones; rows gone, locked or not images when the job
// reaches them are skipped.
TEST_F(VideoJobTest, EveryEndingTellsWhyAndLeavesOnlyAFinishedVideoOfTheRowsInOrder)
{
    std::string jpg = Source("baseline.jpg", "a.jpg");
    std::string readOnly = Source("grey.jpg", "readonly.jpg");
    std::string locked = Source("red.png", "locked.png");
    std::string lockedJpg = Source("progressive.jpg", "locked.jpg");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    fw::unique_file lock(::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    fw::unique_file lockJpg(::CreateFileA(lockedJpg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<std::string> expected = {rig::ReadFileBytes(jpg)};
    AddRow("JPG", jpg);
    AddRow("JPG", m_root.File("gone.jpg"));
    AddRow("PNG", locked);
    AddRow("JPG", lockedJpg);
    AddRow("Others", m_root.File("notes.txt"));
    const std::pair<const char*, const char*> sources[] = {{"png-rgb8.png", "PNG"}, {"bmp24.bmp", "BMP"},
                                                           {"still.gif", "GIF"},    {"png-palette8.png", "PNG"},
                                                           {"bmp8.bmp", "BMP"},     {"half.png", "PNG"}};
    for (const auto& [fixture, type] : sources) {
        AddRow(type, Source(fixture, std::string("s-") + fixture));
        ASSERT_EQ(ConvertToJpeg(fixtures::Path(fixture), m_root.File("alone.jpg")).status, FrameStatus::Written);
        expected.push_back(rig::ReadFileBytes(m_root.File("alone.jpg")));
    }
    AddRow("JPG", readOnly);
    expected.push_back(rig::ReadFileBytes(readOnly));
    AddRow("BMP", m_root.File("gone.bmp"));

    ASSERT_TRUE(rig::WriteFileBytes(m_root.File("plain file"), "x"));
    VideoJobInput nothingToEncode = m_input;
    nothingToEncode.images.RemoveAll();
    nothingToEncode.images.Add({0, "Others", "x.txt", m_root.File("x.txt")});
    nothingToEncode.images.Add({0, "PNG", "y.png", m_root.File("y.png")});
    VideoJobInput underAFile = m_input;
    underAFile.settings.TempPath = m_root.File("plain file\\frames\\");
    VideoJobInput segmented = m_input;
    segmented.images.RemoveAll();
    for (int i = 0; i < 30; ++i)
        segmented.images.Add({0, "JPG", "a.jpg", jpg});
    segmented.cores = 3;
    segmented.minSegmentPixels = 0;
    // The job checks for a stop before each row, once the frames are written, and at each look
    // at the encoder.
    const int rows = m_input.images.GetCount();
    struct Case {
        std::string command;
        const VideoJobInput& input;
        int stopFrom;  // -1: never; -2: once all three segments run
        unsigned textId;
        std::string argument;
    } cases[] = {
        {"fail", m_input, -1, IDS_VIDEO_FAILED, ""},
        {"crash", m_input, -1, IDS_VIDEO_FAILED_BECAUSE, "ffmpeg.exe stopped unexpectedly (Windows status 0xC0000005)."},
        {"silent", m_input, -1, IDS_VIDEO_FAILED, ""},
        // An encoder that ran would fail the job.
        {"refuse", nothingToEncode, -1, IDS_SELECT_IMAGES, ""},
        {"ok", underAFile, -1, IDS_TEMP_PATH_MISSING, underAFile.settings.TempPath},
        {"second-segment-breaks", segmented, -1, IDS_VIDEO_FAILED_BECAUSE, "Second segment broke"},
        // Long enough to be stopped; a lost stop shows as a failed video, not a hang.
        {"sleep", segmented, -2, 0, ""},
        // Before the first frame, after it, at the encoder's first look, during it.
        {"ok", m_input, 0, 0, ""},
        {"ok", m_input, 1, 0, ""},
        {"ok", m_input, rows + 1, 0, ""},
        {"ok", m_input, rows + 3, 0, ""},
        {"ok", m_input, -1, IDS_VIDEO_SUCCESS, ""},
    };
    // Wine's desktop process is a child of the first process that asks for the desktop.
    ::GetDesktopWindow();
    const int desktop = rig::ChildProcessCount(::GetCurrentProcessId());
    RecordedReport report;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command + " stop " + std::to_string(c.stopFrom));
        UseStandIn(c.command.c_str());
        report = RecordedReport();
        report.stopFrom = c.stopFrom;
        if (c.stopFrom == -2)
            report.stopWhen = [&] { return rig::FilesIn(m_temp, "*_seg3_errors.txt").size() == 1; };
        JobResult result = RunVideoJob(c.input, report);
        EXPECT_EQ(result.ok, c.textId == IDS_VIDEO_SUCCESS || c.textId == IDS_SELECT_IMAGES);
        EXPECT_EQ(result.textId, c.textId);
        EXPECT_EQ(result.argument, c.argument);
        // Wine lists an ended process for a moment after its last handle is closed, and its
        // headless console host holds the encoder's output open as long.
        EXPECT_TRUE(rig::WaitUntil([&] { return rig::ChildProcessCount(::GetCurrentProcessId()) == desktop; }, 5000));
        EXPECT_TRUE(rig::WaitUntil([&] { return rig::FilesIn(m_temp).empty(); }, 5000));
        const std::string& video = c.input.settings.DestinationFile;
        EXPECT_EQ(FileExists(video) ? rig::ReadFileBytes(video) : "none", c.textId == IDS_VIDEO_SUCCESS ? "video" : "none");
    }
    std::vector<std::string> seen = rig::FilesIn(m_root.File("seen\\"), "*.jpg");
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].substr(14), fw::FormatText("_%04d.jpg", static_cast<int>(i + 1)));
        EXPECT_EQ(rig::ReadFileBytes(m_root.File("seen\\" + seen[i])), expected[i]) << seen[i];
    }
    EXPECT_EQ(rig::ReadFileBytes(m_root.File("links")), "2\n");
    EXPECT_EQ(rig::ReadFileBytes(jpg), expected[0]);
    // What the work dialog counts while the encoder runs.
    EXPECT_EQ(report.last.phase, JobPhase::EncodingFrames);
    EXPECT_EQ(report.last.total, static_cast<int>(expected.size()));
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Each encoder runs with a console but no window, in the temporary folder, never the photos'
// one, inside a job that ends it with the program; Wine gives it its headless console host.
// One that Windows cannot start, or whose DLL is missing, fails the job with that reason.
TEST_F(VideoJobTest, EncodersRunWindowlessInTheTempFolderInAJobAndWindowsReasonsAreTold)
{
    AddRow("JPG", Source("baseline.jpg", "a.jpg"));
    UseStandIn("report");
    JobResult result;
    std::thread job([&] {
        RecordedReport report;
        result = RunVideoJob(m_input, report);
    });
    const std::string started = m_root.File("started");
    bool reported = rig::WaitUntil([&] { return !rig::ReadFileBytes(started).empty(); });
    bool headlessConsole = rig::RunHostTool("sh", "-c \"ps -eo args | grep -q '[c]onhost.exe.*--headless'\"") == 0;
    rig::WriteFileBytes(m_root.File("go"), "");
    job.join();
    ASSERT_TRUE(reported);
    EXPECT_EQ(result.textId, IDS_VIDEO_SUCCESS);
    EXPECT_EQ(rig::ReadFileBytes(started), "folder=" + m_temp.substr(0, m_temp.size() - 1) + "\nconsole=1\nwindow=0\njob=1\n");
    EXPECT_TRUE(headlessConsole);

    ASSERT_TRUE(rig::WriteFileBytes(m_root.File("ffmpeg.exe"), "not a program"));
    const std::pair<std::string, std::string> unstartable[] = {
        {rig::ExecutableDirectory() + "needs-dll\\ffmpeg.exe", "ffmpeg.exe could not start: a DLL it needs is missing."},
        {m_root.File("ffmpeg.exe"), "ffmpeg.exe could not start: "}};
    for (const auto& [encoder, reason] : unstartable) {
        m_input.encoderPath = encoder;
        RecordedReport report;
        result = RunVideoJob(m_input, report);
        EXPECT_EQ(result.textId, IDS_VIDEO_FAILED_BECAUSE);
        EXPECT_EQ(result.argument.substr(0, reason.size()), reason);
        EXPECT_EQ(result.argument.find('%'), std::string::npos) << result.argument;
        EXPECT_TRUE(rig::WaitUntil([&] { return rig::FilesIn(m_temp).empty(); }, 5000));
    }
}

// A 4 MB volume of its own stands in for a full disk: copies that clearly cannot fit are
// refused before any is written; conversions that fill it stop the job half way. Either way
// no frame stays and no encoder runs.
TEST_F(VideoJobTest, AFullTempFolderStopsTheJobWithItsNameAndLeavesNoFrame)
{
    std::string mount = m_root.File("small volume");
    rig::SmallVolume volume(mount, "4m");
    if (!volume.Mounted())
        GTEST_SKIP() << "mounting a small volume needs root";
    m_temp = m_input.settings.TempPath = mount + "\\frames\\";
    UseStandIn("ok");
    for (const char* type : {"JPG", "PNG"}) {
        m_input.images.RemoveAll();
        for (int i = 0; i < 40; ++i)
            AddRow(type, fixtures::Path(std::string(type) == "JPG" ? "noise.jpg" : "noise.png"));
        SCOPED_TRACE(type);
        RecordedReport report;
        JobResult result = RunVideoJob(m_input, report);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.textId, IDS_TEMP_FULL);
        EXPECT_EQ(result.argument, m_temp);
        EXPECT_TRUE(rig::FilesIn(m_temp).empty());
        // Copies are refused before the first frame; conversions fill the volume on the way.
        EXPECT_EQ(report.calls == "range100 +5 ", std::string(type) == "JPG") << report.calls;
        EXPECT_FALSE(FileExists(m_root.File("seen")));
    }
}
