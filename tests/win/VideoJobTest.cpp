#include "WorkDialogFixture.h"

#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "video/ConvertToJpeg.h"
#include "video/EncoderCommandLine.h"
#include "video/VideoJob.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Stands in for the host encoder: copies the frames it is given into "seen" beside the
// destination and notes the first frame's link count in "links"; then "ok" writes the
// destination and exits 0, "empty" exits 0 without writing it, anything else exits 1.
const char COPYING_ENCODER[] =
    "sh -c 'for a; do last=$a; done; d=$(dirname \"$last\"); mkdir -p \"$d/seen\"; "
    "for a; do case $a in *_%04d.jpg) cp \"${a%_%04d.jpg}\"_*.jpg \"$d/seen/\"; "
    "stat -c %h \"${a%_%04d.jpg}\"_0001.jpg > \"$d/links\";; esac; done; "
    "[ \"$0\" = ok ] && printf video > \"$last\"; [ \"$0\" = ok ] || [ \"$0\" = empty ]'";

class HostEncoder {
public:
    explicit HostEncoder(const std::string& command) { ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", command.c_str()); }
    ~HostEncoder() { ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", nullptr); }
};

// The job's reports as text, one word per call.
class RecordedReport : public CJobReport {
public:
    std::string calls;
    void SetRange(int upper) override { calls += "range" + std::to_string(upper) + " "; }
    void OffsetPos(int delta) override { calls += "+" + std::to_string(delta) + " "; }
    void StepIt() override { calls += "step "; }
    void SetPos(int pos) override { calls += "pos" + std::to_string(pos) + " "; }
    // Answers "stop" from the given check on; -1: never.
    int stopFrom = -1;
    int checks = 0;
    bool CheckStop() override { return stopFrom >= 0 && checks++ >= stopFrom; }
};

// The bar's messages of a run whose encoder tells no progress: frames and encoder take one
// unit per row each.
std::string FullRun(int rows)
{
    std::string calls = "range" + std::to_string(2 * rows + 20) + " +5 ";
    for (int i = 0; i < rows; ++i)
        calls += "step ";
    return calls + "pos" + std::to_string(5 + 2 * rows) + " +10 pos" + std::to_string(rows) + " ";
}

DWORD LinkCount(const std::string& path)
{
    HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    return info.nNumberOfLinks;
}

class VideoJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Not there yet: the job creates it silently.
        m_temp = m_root.File("new\\frames \xC3\xA9t\xC3\xA9 \xE5\x86\x99\\");
        m_input.settings.TempPath = m_temp;
        m_input.settings.DestinationFile = m_root.File("out.mp4");
        m_input.settings.FrameRate = 10;
        m_input.settings.VideoSize = 3;
        m_input.encoderPath = rig::ExecutableDirectory() + "ffmpeg.exe";
    }

    std::string Source(const std::string& name, const wchar_t* mime, COLORREF color, int width = 64)
    {
        std::string path = m_root.File(name);
        EXPECT_TRUE(rig::WriteImageFile(path, mime, width, 48, color));
        return path;
    }

    void AddRow(const std::string& type, const std::string& path, int64_t createdTime = 0)
    {
        m_input.images.Add({createdTime, type, path.substr(path.find_last_of('\\') + 1), path});
    }

    JobResult Run()
    {
        m_report.calls.clear();
        m_report.checks = 0;
        return RunVideoJob(m_input, m_report);
    }

    std::vector<std::string> Frames() { return rig::FilesIn(m_temp, "*"); }
    std::vector<std::string> Seen() { return rig::FilesIn(m_root.File("seen\\"), "*.jpg"); }
    std::string SeenBytes(size_t i) { return rig::ReadFileBytes(m_root.File("seen\\" + Seen()[i])); }

    rig::TempFolder m_root;
    std::string m_temp;
    VideoJobInput m_input;
    RecordedReport m_report;
};

} // namespace

// Conversions run on every core yet land in row order, numbered without gaps, each the same
// bytes as a conversion on its own; JPEG frames are links to their untouched sources.
TEST_F(VideoJobTest, FramesKeepRowOrderAndNumbersWhateverRunsInParallel)
{
    std::string jpg = Source("a.jpg", L"image/jpeg", RGB(255, 0, 0));
    std::string jpgBytes = rig::ReadFileBytes(jpg);
    std::vector<std::string> expected = {jpgBytes};
    const wchar_t* mimes[] = {L"image/png", L"image/bmp", L"image/gif"};
    AddRow("JPG", jpg);
    for (int i = 0; i < 9; ++i) {
        std::string name = "s" + std::to_string(i) + (i % 3 == 0 ? ".png" : i % 3 == 1 ? ".bmp" : ".gif");
        std::string path = Source(name, mimes[i % 3], RGB(20 * i, 255 - 20 * i, 7), 64 + 32 * (i % 4));
        AddRow(i % 3 == 0 ? "PNG" : i % 3 == 1 ? "BMP" : "GIF", path);
        if (i == 4)
            AddRow("PNG", m_root.File("unreadable.png"));
        ASSERT_EQ(ConvertToJpeg(path, m_root.File("alone.jpg")).status, FrameStatus::Written);
        expected.push_back(rig::ReadFileBytes(m_root.File("alone.jpg")));
    }
    AddRow("Others", m_root.File("notes.txt"));
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");

    JobResult result = Run();
    EXPECT_EQ(result.textId, IDS_VIDEO_SUCCESS);
    std::vector<std::string> seen = Seen();
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        char suffix[16];
        std::snprintf(suffix, sizeof(suffix), "_%04zu.jpg", i + 1);
        EXPECT_EQ(seen[i].substr(14), suffix);
        EXPECT_EQ(SeenBytes(i), expected[i]) << seen[i];
    }
    EXPECT_EQ(rig::ReadFileBytes(m_root.File("links")), "2\n");
    EXPECT_EQ(rig::ReadFileBytes(jpg), jpgBytes);
    EXPECT_EQ(LinkCount(jpg), 1u);
    EXPECT_TRUE(Frames().empty());
}

TEST_F(VideoJobTest, SortsByCreationTimeWhenAsked)
{
    std::string older = Source("older.jpg", L"image/jpeg", RGB(0, 0, 255));
    AddRow("JPG", Source("newer.jpg", L"image/jpeg", RGB(255, 0, 0)), 2000);
    AddRow("JPG", older, 1000);
    m_input.settings.SortByTime = 1;
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    Run();
    ASSERT_EQ(Seen().size(), 2u);
    EXPECT_EQ(SeenBytes(0), rig::ReadFileBytes(older));
}

TEST_F(VideoJobTest, SkipsSourcesDeletedOrLockedAfterListingAndCopiesReadOnlyOnes)
{
    std::string good = Source("good.jpg", L"image/jpeg", RGB(1, 2, 3));
    std::string readOnly = Source("readonly.jpg", L"image/jpeg", RGB(4, 5, 6));
    std::string locked = Source("locked.png", L"image/png", RGB(1, 2, 3));
    std::string lockedJpg = Source("locked.jpg", L"image/jpeg", RGB(1, 2, 3));
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    AddRow("JPG", m_root.File("gone.jpg"));
    AddRow("PNG", locked);
    AddRow("JPG", lockedJpg);
    AddRow("BMP", m_root.File("gone.bmp"));
    AddRow("JPG", good);
    AddRow("JPG", readOnly);
    HANDLE lock1 = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE lock2 = ::CreateFileA(lockedJpg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    JobResult result = Run();
    ::CloseHandle(lock1);
    ::CloseHandle(lock2);
    EXPECT_EQ(result.textId, IDS_VIDEO_SUCCESS);
    EXPECT_EQ(m_report.calls, FullRun(6));
    ASSERT_EQ(Seen().size(), 2u);
    EXPECT_EQ(SeenBytes(0), rig::ReadFileBytes(good));
    EXPECT_EQ(SeenBytes(1), rig::ReadFileBytes(readOnly));
    EXPECT_TRUE(Frames().empty()) << Frames()[0];
    EXPECT_EQ(LinkCount(readOnly), 1u);
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(VideoJobTest, AnEncoderThatFailsOrCrashesOrWritesNothingIsAFailure)
{
    AddRow("JPG", Source("a.jpg", L"image/jpeg", RGB(1, 2, 3)));
    std::string missingFolder = m_root.File("no such folder\\out.mp4");
    struct Case {
        std::string command;
        std::string destination;
    } cases[] = {{"sh -c 'exit 1' sh", m_input.settings.DestinationFile},
                 {"sh -c 'kill -SEGV $$' sh", m_input.settings.DestinationFile},
                 {std::string(COPYING_ENCODER) + " empty", m_input.settings.DestinationFile},
                 {"ffmpeg", missingFolder}};
    for (const Case& c : cases) {
        HostEncoder encoder(c.command);
        m_input.settings.DestinationFile = c.destination;
        JobResult result = Run();
        EXPECT_FALSE(result.ok) << c.command;
        EXPECT_EQ(result.textId, IDS_VIDEO_FAILED) << c.command;
        EXPECT_EQ(m_report.calls, FullRun(1)) << c.command;
        EXPECT_TRUE(Frames().empty()) << c.command;
    }
    EXPECT_EQ(::GetFileAttributesA(m_root.File("no such folder").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(VideoJobTest, NothingConvertibleAsksForImagesWithoutRunningTheEncoder)
{
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    JobResult result = Run();
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.textId, IDS_SELECT_IMAGES);
    EXPECT_EQ(m_report.calls, "range20 +5 ");

    AddRow("Others", m_root.File("x.txt"));
    AddRow("PNG", m_root.File("y.png"));
    result = Run();
    EXPECT_EQ(result.textId, IDS_SELECT_IMAGES);
    EXPECT_EQ(::GetFileAttributesA(m_input.settings.DestinationFile.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA(m_root.File("seen").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(VideoJobTest, AMissingEncoderOrTempFolderStopsBeforeAnyProgress)
{
    AddRow("JPG", Source("a.jpg", L"image/jpeg", RGB(1, 2, 3)));
    m_input.encoderPath = m_root.File("nowhere\\ffmpeg.exe");
    JobResult result = Run();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.textId, IDS_MISSING_FILE);
    EXPECT_EQ(result.argument, m_input.encoderPath);
    EXPECT_EQ(::GetFileAttributesA(m_temp.c_str()), INVALID_FILE_ATTRIBUTES);

    m_input.encoderPath = rig::ExecutableDirectory() + "ffmpeg.exe";
    ASSERT_TRUE(rig::WriteFileBytes(m_root.File("plain file"), "x"));
    m_input.settings.TempPath = m_root.File("plain file\\frames\\");
    result = Run();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.textId, IDS_TEMP_PATH_MISSING);
    EXPECT_EQ(result.argument, m_input.settings.TempPath);
    EXPECT_EQ(m_report.calls, "");
}

// A 4 MB volume of its own stands in for a full disk: copies that clearly cannot fit are
// refused before any is written; conversions that fill it stop the job half way. Either way
// no frame stays and no encoder runs.
TEST_F(VideoJobTest, AFullTempFolderStopsTheJobWithItsNameAndLeavesNoFrame)
{
    std::string mount = m_root.File("small volume");
    ::CreateDirectoryA(mount.c_str(), nullptr);
    if (rig::RunHostTool("sh", "-c \"mount -t tmpfs -o size=4m tmpfs \\\"$1\\\"\" sh \"" + mount + "\"") != 0)
        GTEST_SKIP() << "mounting a small volume needs root";
    struct Unmount {
        std::string path;
        ~Unmount() { rig::RunHostTool("sh", "-c \"umount \\\"$1\\\"\" sh \"" + path + "\""); }
    } unmount{mount};
    m_temp = m_input.settings.TempPath = mount + "\\frames\\";
    std::string noise = m_root.File("noise.png");
    std::string photo = m_root.File("noise.jpg");
    ASSERT_EQ(rig::RunHostTool("convert", "-size 800x600 xc: +noise Random \"" + noise + "\""), 0);
    ASSERT_EQ(rig::RunHostTool("convert", "\"" + noise + "\" -quality 95 \"" + photo + "\""), 0);
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    for (const char* type : {"JPG", "PNG"}) {
        m_input.images.RemoveAll();
        for (int i = 0; i < 40; ++i)
            AddRow(type, std::string(type) == "JPG" ? photo : noise);
        JobResult result = Run();
        EXPECT_FALSE(result.ok) << type;
        EXPECT_EQ(result.textId, IDS_TEMP_FULL) << type;
        EXPECT_EQ(result.argument, m_temp) << type;
        EXPECT_TRUE(Frames().empty()) << type;
        // Copies are refused before the first step; conversions fill the volume on the way.
        EXPECT_EQ(m_report.calls.find("step") == std::string::npos, std::string(type) == "JPG") << type;
        EXPECT_EQ(::GetFileAttributesA(m_root.File("seen").c_str()), INVALID_FILE_ATTRIBUTES) << type;
    }
}

// Whenever the stop comes, the job ends one way only: stopped with nothing left (no frame, no
// half-written video, no message), or finished with its video.
TEST_F(VideoJobTest, AStopAtAnyStepEndsInOneOutcome)
{
    AddRow("JPG", Source("a.jpg", L"image/jpeg", RGB(1, 2, 3)));
    AddRow("PNG", Source("b.png", L"image/png", RGB(4, 5, 6)));
    HostEncoder encoder("sh -c 'for a; do last=$a; done; printf half > \"$last\"; sleep 1; printf video > \"$last\"' sh");
    std::string destination = m_input.settings.DestinationFile;
    // Before the first frame, after it, at the encoder's first look, during it, never.
    for (int stopFrom : {0, 1, 3, 5, -1}) {
        m_report.stopFrom = stopFrom;
        JobResult result = Run();
        if (stopFrom >= 0) {
            EXPECT_FALSE(result.ok) << stopFrom;
            EXPECT_EQ(result.textId, 0u) << stopFrom;
            EXPECT_EQ(::GetFileAttributesA(destination.c_str()), INVALID_FILE_ATTRIBUTES) << stopFrom;
        } else {
            EXPECT_EQ(result.textId, IDS_VIDEO_SUCCESS);
            EXPECT_EQ(rig::ReadFileBytes(destination), "video");
        }
        EXPECT_TRUE(Frames().empty()) << stopFrom;
    }
}
