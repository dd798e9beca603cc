#include "RecordedReport.h"

#include "app/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/ConvertToJpeg.h"
#include "video/VideoJob.h"

#include <gtest/gtest.h>

namespace {

// Stands in for the host encoder: copies the frames it is given into "seen" beside the
// destination and notes the first frame's link count in "links"; then "ok" writes the
// destination and exits 0, anything else exits 1.
const std::string COPYING_ENCODER =
    "sh -c 'for a; do last=$a; done; d=$(dirname \"$last\"); mkdir -p \"$d/seen\"; "
    "for a; do case $a in *_%04d.jpg) cp \"${a%_%04d.jpg}\"_*.jpg \"$d/seen/\"; "
    "stat -c %h \"${a%_%04d.jpg}\"_0001.jpg > \"$d/links\";; esac; done; "
    "[ \"$0\" = ok ] && printf video > \"$last\"'";

class HostEncoder {
public:
    explicit HostEncoder(const std::string& command) { ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", command.c_str()); }
    ~HostEncoder() { ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", nullptr); }
};

class VideoJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Not there yet: the job creates it silently.
        m_temp = m_root.File("new\\frames \xC3\xA9t\xC3\xA9 \xE5\x86\x99\\");
        m_input.settings.TempPath = m_temp;
        m_input.settings.DestinationFile = m_root.File("out.mp4");
        m_input.encoderPath = rig::EncoderPath("bridge");
    }

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

    JobResult Run(const VideoJobInput& input)
    {
        m_report.calls.clear();
        m_report.checks = 0;
        return RunVideoJob(input, m_report);
    }

    std::vector<std::string> Frames() { return rig::FilesIn(m_temp, "*"); }
    std::vector<std::string> Seen() { return rig::FilesIn(m_root.File("seen\\"), "*.jpg"); }

    rig::TempFolder m_root;
    std::string m_temp;
    VideoJobInput m_input;
    RecordedReport m_report;
};

} // namespace

// Conversions run on every core yet land in row order, numbered without gaps, each the same
// bytes as a conversion on its own; JPEG frames are links to their untouched sources, or
// copies of read-only ones; rows gone, locked or not images when the job reaches them are
// skipped.
TEST_F(VideoJobTest, FramesKeepRowOrderAndNumbersAndSkipWhatCannotBeRead)
{
    std::string jpg = Source("baseline.jpg", "a.jpg");
    std::string readOnly = Source("grey.jpg", "readonly.jpg");
    std::string locked = Source("red.png", "locked.png");
    std::string lockedJpg = Source("progressive.jpg", "locked.jpg");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
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
    HostEncoder encoder(COPYING_ENCODER + " ok");
    {
        fw::unique_file lock(::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        fw::unique_file lockJpg(::CreateFileA(lockedJpg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(Run(m_input).textId, IDS_VIDEO_SUCCESS);
    }
    std::vector<std::string> seen = Seen();
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].substr(14), fw::FormatText("_%04d.jpg", static_cast<int>(i + 1)));
        EXPECT_EQ(rig::ReadFileBytes(m_root.File("seen\\" + seen[i])), expected[i]) << seen[i];
    }
    EXPECT_EQ(rig::ReadFileBytes(m_root.File("links")), "2\n");
    EXPECT_EQ(rig::ReadFileBytes(jpg), expected[0]);
    EXPECT_TRUE(Frames().empty());
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// An encoder that fails, crashes or writes nothing, nothing to encode, or a temporary folder
// that cannot be made: each ends with its own text, and leaves no frame and no video.
TEST_F(VideoJobTest, EveryEndingWithoutAVideoTellsWhyAndLeavesNothing)
{
    AddRow("JPG", Source("baseline.jpg", "a.jpg"));
    ASSERT_TRUE(rig::WriteFileBytes(m_root.File("plain file"), "x"));
    VideoJobInput nothingToEncode = m_input;
    nothingToEncode.images.RemoveAll();
    nothingToEncode.images.Add({0, "Others", "x.txt", m_root.File("x.txt")});
    nothingToEncode.images.Add({0, "PNG", "y.png", m_root.File("y.png")});
    VideoJobInput underAFile = m_input;
    underAFile.settings.TempPath = m_root.File("plain file\\frames\\");
    struct Case {
        std::string command;
        const VideoJobInput& input;
        bool ok;
        unsigned textId;
        std::string argument;
    } cases[] = {
        {"sh -c 'exit 1' sh", m_input, false, IDS_VIDEO_FAILED, ""},
        {"sh -c 'kill -SEGV $$' sh", m_input, false, IDS_VIDEO_FAILED, ""},
        {"sh -c 'exit 0' sh", m_input, false, IDS_VIDEO_FAILED, ""},
        // The stand-in would leave "seen" if it ran.
        {COPYING_ENCODER + " ok", nothingToEncode, true, IDS_SELECT_IMAGES, ""},
        {"ffmpeg", underAFile, false, IDS_TEMP_PATH_MISSING, underAFile.settings.TempPath},
    };
    for (const Case& c : cases) {
        HostEncoder encoder(c.command);
        JobResult result = Run(c.input);
        SCOPED_TRACE(c.command);
        EXPECT_EQ(result.ok, c.ok);
        EXPECT_EQ(result.textId, c.textId);
        EXPECT_EQ(result.argument, c.argument);
        EXPECT_TRUE(Frames().empty());
        EXPECT_FALSE(FileExists(c.input.settings.DestinationFile));
    }
    EXPECT_FALSE(FileExists(m_root.File("seen")));
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
    HostEncoder encoder(COPYING_ENCODER + " ok");
    for (const char* type : {"JPG", "PNG"}) {
        m_input.images.RemoveAll();
        for (int i = 0; i < 40; ++i)
            AddRow(type, fixtures::Path(std::string(type) == "JPG" ? "noise.jpg" : "noise.png"));
        JobResult result = Run(m_input);
        SCOPED_TRACE(type);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.textId, IDS_TEMP_FULL);
        EXPECT_EQ(result.argument, m_temp);
        EXPECT_TRUE(Frames().empty());
        // Copies are refused before the first frame; conversions fill the volume on the way.
        EXPECT_EQ(m_report.calls == "range100 +5 ", std::string(type) == "JPG") << m_report.calls;
        EXPECT_FALSE(FileExists(m_root.File("seen")));
    }
}

// Whenever the stop comes, the job ends one way only: stopped with nothing left (no frame, no
// half-written video, no message), or finished with its video.
TEST_F(VideoJobTest, AStopAtAnyStepEndsInOneOutcome)
{
    AddRow("JPG", Source("baseline.jpg", "a.jpg"));
    AddRow("PNG", Source("red.png", "b.png"));
    HostEncoder encoder("sh -c 'for a; do last=$a; done; printf half > \"$last\"; sleep 1; printf video > \"$last\"' sh");
    // Before the first frame, after it, at the encoder's first look, during it, never.
    for (int stopFrom : {0, 1, 3, 5, -1}) {
        m_report.stopFrom = stopFrom;
        JobResult result = Run(m_input);
        SCOPED_TRACE(stopFrom);
        EXPECT_EQ(result.ok, stopFrom < 0);
        EXPECT_EQ(result.textId, stopFrom < 0 ? IDS_VIDEO_SUCCESS : 0u);
        const std::string& video = m_input.settings.DestinationFile;
        EXPECT_EQ(FileExists(video) ? rig::ReadFileBytes(video) : "none", stopFrom < 0 ? "video" : "none");
        EXPECT_TRUE(Frames().empty());
    }
    // What the work dialog counts while the encoder runs.
    EXPECT_EQ(m_report.last.phase, JobPhase::EncodingFrames);
    EXPECT_EQ(m_report.last.total, 2);
}

// Segments made at once end together: one that fails fails the job with its encoder's reason;
// a stop while they run ends every encoder. Either way no frame, segment or list stays, and
// no video.
TEST_F(VideoJobTest, SegmentsFailOrStopTogetherAndLeaveNothing)
{
    for (int i = 0; i < 30; ++i)
        AddRow("JPG", fixtures::Path("baseline.jpg"));
    m_input.cores = 3;
    m_input.minSegmentPixels = 0;
    struct Case {
        std::string command;
        unsigned textId;  // 0: stopped once all three run
        std::string argument;
    } cases[] = {
        // The others write nothing: the bridge's host side may outlive its end by a moment.
        {"sh -c 'case \"$*\" in *\"-start_number 11 \"*) echo \"[mp4 @ 0x1] Second segment broke\" >&2; exit 1;; esac' sh",
         IDS_VIDEO_FAILED_BECAUSE, "Second segment broke"},
        {"sh -c 'sleep 100' sh", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        HostEncoder encoder(c.command);
        if (c.textId == 0)
            m_report.stopWhen = [&] { return rig::FilesIn(m_temp, "*_seg3_errors.txt").size() == 1; };
        JobResult result = Run(m_input);
        m_report.stopWhen = nullptr;
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.textId, c.textId);
        EXPECT_EQ(result.argument, c.argument);
        // Wine lists an ended process for a moment after its last handle is closed.
        EXPECT_TRUE(rig::WaitUntil([] { return rig::ChildProcessCount(::GetCurrentProcessId()) == 0; }, 5000));
        EXPECT_TRUE(Frames().empty());
        EXPECT_FALSE(FileExists(m_input.settings.DestinationFile));
    }
}
