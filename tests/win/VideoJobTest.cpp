#include "MomentaryHolder.h"
#include "RecordedReport.h"

#include "app/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "resource.h"
#include "rig/HostTool.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/frames/ConvertToJpeg.h"
#include "video/encoder/EncoderCommandLine.h"
#include "video/jobs/VideoJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <thread>
#include <tuple>

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
        {"hold", segmented, -2, 0, ""},
        {"ok", m_input, -1, IDS_VIDEO_SUCCESS, ""},
        // Before the first frame, after it, at the encoder's first look, during it: the last
        // case, so the report holds what the work dialog counts while the encoder runs.
        {"ok", m_input, 0, 0, ""},
        {"ok", m_input, 1, 0, ""},
        {"hold", m_input, rows + 1, 0, ""},
        {"hold", m_input, rows + 3, 0, ""},
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
        ::DeleteFileA(video.c_str());
    }
    std::vector<std::string> seen = rig::FilesIn(m_root.File("seen\\"), "*.jpg");
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].substr(14), fw::FormatText("_%04d.jpg", static_cast<int>(i + 1)));
        EXPECT_EQ(rig::ReadFileBytes(m_root.File("seen\\" + seen[i])), expected[i]) << seen[i];
    }
    EXPECT_EQ(rig::ReadFileBytes(m_root.File("links")), "2\n");
    EXPECT_EQ(rig::ReadFileBytes(jpg), expected[0]);
    EXPECT_EQ(report.last.phase, JobPhase::EncodingFrames);
    EXPECT_EQ(report.last.total, static_cast<int>(expected.size()));
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Every third of 100 rows, taken after the sort by time, which here starts at row 50 and
// wraps round to row 1 after row 100: frames of rows 50, 53, ..., 98, 1, 4, ..., 49, and a bar
// that counts only those.
TEST_F(VideoJobTest, EveryNthPhotoTakesRowsOneOnePlusNAndSoOnInTheSortedOrder)
{
    const std::string jpeg = fixtures::Bytes("baseline.jpg");
    for (int row = 1; row <= 100; ++row) {
        // A JPEG ends at its end marker; what follows tells the rows' frames apart.
        std::string path = m_root.File("row" + std::to_string(row) + ".jpg");
        ASSERT_TRUE(rig::WriteFileBytes(path, jpeg + "row " + std::to_string(row)));
        // 0 would be a time that could not be read.
        int created = (row + 50) % 100 + 1;
        m_input.images.Add({created, "JPG", "", path, static_cast<uint64_t>(created)});
    }
    m_input.settings.SortByTime = 1;
    m_input.settings.EveryNth = 3;
    UseStandIn("ok");
    RecordedReport report;
    EXPECT_EQ(RunVideoJob(m_input, report).textId, IDS_VIDEO_SUCCESS);
    std::vector<std::string> seen = rig::FilesIn(m_root.File("seen\\"), "*.jpg");
    ASSERT_EQ(seen.size(), 34u);
    for (int i = 0; i < 34; ++i) {
        int row = 3 * i <= 50 ? 50 + 3 * i : 3 * i - 50;
        EXPECT_EQ(rig::ReadFileBytes(m_root.File("seen\\" + seen[i])).substr(jpeg.size()), "row " + std::to_string(row));
    }
    EXPECT_EQ(report.calls.substr(0, 8), "range88 ");
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

// Every file the job makes in the temporary folder is held for half a second after it appears
// by another reader that does not let it be deleted or renamed, as scanners do; a JPEG and a
// PNG are held open by another program the whole time. The video is still made with the real
// encoder, of every row, nothing stays behind and no source changes.
TEST_F(VideoJobTest, FilesHeldForAMomentByOthersStillGiveTheVideoAndNothingStays)
{
    const std::tuple<const char*, const char*, const char*> rows[] = {{"baseline.jpg", "a.jpg", "JPG"},
                                                                      {"red.png", "held.png", "PNG"},
                                                                      {"progressive.jpg", "held.jpg", "JPG"},
                                                                      {"exif-mm.jpg", "turned.jpg", "JPG"},
                                                                      {"bmp24.bmp", "b.bmp", "BMP"}};
    std::vector<std::string> sources, before;
    std::vector<fw::unique_file> viewers;
    for (const auto& [fixture, name, type] : rows) {
        sources.push_back(Source(fixture, name));
        AddRow(type, sources.back());
        before.push_back(rig::ReadFileBytes(sources.back()));
        if (std::string(name).find("held") == 0)
            viewers.emplace_back(::CreateFileA(sources.back().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               0, nullptr));
    }
    m_input.encoderPath = rig::EncoderPath("shipped");
    ASSERT_TRUE(EnsureDirectory(m_temp));
    MomentaryHolder holder(m_temp);
    RecordedReport report;
    JobResult result = RunVideoJob(m_input, report);
    EXPECT_EQ(result.textId, IDS_VIDEO_SUCCESS) << result.argument;
    rig::VideoProbe probe;
    ASSERT_TRUE(rig::ProbeVideo(m_input.settings.DestinationFile, probe));
    EXPECT_EQ(probe.frameCount, static_cast<int>(sources.size()));
    EXPECT_GT(holder.Held(), sources.size());
    EXPECT_TRUE(rig::FilesIn(m_temp).empty()) << rig::FilesIn(m_temp)[0];
    for (size_t i = 0; i < sources.size(); ++i)
        EXPECT_EQ(rig::ReadFileBytes(sources[i]), before[i]) << sources[i];
}

// A run killed while it encoded left its frames, segments and reports; another run still
// works beside it, holding its mark as the job does. The next job deletes the killed run's
// files, its stale mark among them, and leaves the running one's, the user's file and a folder
// of a frame's name.
TEST_F(VideoJobTest, TheNextJobDeletesWhatKilledRunsLeftButNoRunningJobsFilesNorTheUsers)
{
    const std::string killed = "20200101000000_", running = "20200101000001_";
    ASSERT_TRUE(EnsureDirectory(m_temp));
    for (const std::string& name : {killed + "0001.jpg", killed + "0002.jpg", killed + "row3.tmp", killed + "probe9_1.tmp",
                                    killed + "seg1.mp4", killed + "seg1_progress.txt", killed + "join_errors.txt",
                                    killed + "progress.txt", killed + "job.lock", running + "0001.jpg", std::string("holiday.jpg")})
        ASSERT_TRUE(rig::WriteFileBytes(m_temp + name, "x"));
    ASSERT_TRUE(::CreateDirectoryA((m_temp + killed + "0003.jpg").c_str(), nullptr));
    fw::unique_file mark(::CreateFileA((m_temp + running + "job.lock").c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                       nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    ASSERT_TRUE(mark);
    AddRow("JPG", Source("baseline.jpg", "a.jpg"));
    UseStandIn("ok");
    RecordedReport report;
    EXPECT_EQ(RunVideoJob(m_input, report).textId, IDS_VIDEO_SUCCESS);
    EXPECT_EQ(rig::FilesIn(m_temp), (std::vector<std::string>{killed + "0003.jpg", running + "0001.jpg",
                                                              running + "job.lock", "holiday.jpg"}));
    mark.reset();
    EXPECT_FALSE(FileExists(m_temp + running + "job.lock"));
}

// A frame whose name the temporary folder cannot take ends the job with that name, whether it
// is a JPEG's link or copy or a conversion's rename; nothing of the job's stays.
TEST_F(VideoJobTest, AFrameThatCannotBeWrittenEndsTheJobWithItsName)
{
    ASSERT_TRUE(EnsureDirectory(m_temp));
    // The job names its frames by the second it starts in.
    std::vector<std::string> blocked;
    for (time_t second = std::time(nullptr); blocked.size() < 30; ++second) {
        std::tm local{};
        localtime_s(&local, &second);
        blocked.push_back(FormatFrameFileName(m_temp, FormatTimePrefix(local), 1));
        ASSERT_TRUE(::CreateDirectoryA(blocked.back().c_str(), nullptr));
    }
    UseStandIn("ok");
    for (const auto& [fixture, type] : {std::pair{"baseline.jpg", "JPG"}, {"red.png", "PNG"}}) {
        SCOPED_TRACE(type);
        m_input.images.RemoveAll();
        AddRow(type, Source(fixture, std::string("s-") + fixture));
        RecordedReport report;
        JobResult result = RunVideoJob(m_input, report);
        EXPECT_EQ(result.textId, IDS_FRAME_WRITE_FAILED);
        EXPECT_NE(std::find(blocked.begin(), blocked.end(), result.argument), blocked.end()) << result.argument;
        EXPECT_EQ(rig::FilesIn(m_temp).size(), blocked.size());
    }
}

// A converted frame carries no EXIF of its source, whose turn is already applied, and is
// encoded at quality 95. Wine's codec takes no quality and writes its default, so what the
// encoder is handed is checked.
TEST(ConvertToJpeg, FramesAreOfQuality95AndCarryNothingOfTheSourcesMetadata)
{
    rig::TempFolder folder;
    const std::string exifHeader("Exif\0\0", 6);
    ASSERT_NE(fixtures::Bytes("exif-mm.jpg").find(exifHeader), std::string::npos);
    ASSERT_EQ(WriteUprightJpeg(fixtures::Path("exif-mm.jpg"), folder.File("turned.jpg"), {}).status, FrameStatus::Written);
    EXPECT_EQ(rig::ReadFileBytes(folder.File("turned.jpg")).find(exifHeader), std::string::npos);

    CJpegFrameParameters parameters;
    const Gdiplus::EncoderParameters& given = *parameters.Get();
    ASSERT_EQ(given.Count, 1u);
    EXPECT_TRUE(::IsEqualGUID(given.Parameter[0].Guid, Gdiplus::EncoderQuality));
    EXPECT_EQ(given.Parameter[0].Type, static_cast<ULONG>(Gdiplus::EncoderParameterValueTypeLong));
    ASSERT_EQ(given.Parameter[0].NumberOfValues, 1u);
    EXPECT_EQ(*static_cast<const ULONG*>(given.Parameter[0].Value), 95u);
}
