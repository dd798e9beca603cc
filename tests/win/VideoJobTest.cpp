#include "WorkDialogFixture.h"

#include "app/Globals.h"
#include "resource.h"
#include "rig/Media.h"

#include <gtest/gtest.h>

namespace {

// Stands in for the host encoder: copies the frames it is given into "seen" beside the
// destination; then "ok" writes the destination and exits 0, "empty" exits 0 without
// writing it, anything else exits 1.
const char COPYING_ENCODER[] =
    "sh -c 'for a; do last=$a; done; d=$(dirname \"$last\"); mkdir -p \"$d/seen\"; "
    "for a; do case $a in *_%04d.jpg) cp \"${a%_%04d.jpg}\"_*.jpg \"$d/seen/\";; esac; done; "
    "[ \"$0\" = ok ] && printf video > \"$last\"; [ \"$0\" = ok ] || [ \"$0\" = empty ]'";

// The job runs the encoder beside this test program: the bridge, whose host command the
// environment can replace for one test.
class HostEncoder {
public:
    explicit HostEncoder(const std::string& command) { ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", command.c_str()); }
    ~HostEncoder() { ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", nullptr); }
};

class VideoJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_temp = m_root.File("frames \xC3\xA9t\xC3\xA9 \xE5\x86\x99\\");
        g_settings = CIniSettings();
        g_settings.TempPath = m_temp;
        g_settings.DestinationFile = m_root.File("out.mp4");
        g_settings.FrameRate = 10;
        g_settings.VideoSize = 3;
        g_settings.SortByTime = 0;
    }

    std::string Source(const std::string& name, const wchar_t* mime, COLORREF color)
    {
        std::string path = m_root.File(name);
        EXPECT_TRUE(rig::WriteImageFile(path, mime, 64, 48, color));
        return path;
    }

    WorkResult Run()
    {
        RecordingWaitDlg dialog;
        dialog.m_pMainDlg = &m_main.Window();
        dialog.m_bMakeVideo = TRUE;
        dialog.SetMessageId(IDS_MAKING_VIDEO);
        return RunWorkDialog(dialog);
    }

    static std::vector<ProgressCall> FullRun(int rows)
    {
        std::vector<ProgressCall> calls = OpeningCalls();
        calls.push_back(SetRange(0, rows + 20));
        calls.push_back(DeltaPos(5));
        calls.insert(calls.end(), rows, StepIt());
        calls.push_back(DeltaPos(10));
        calls.push_back(SetPos(rows));
        return calls;
    }

    std::vector<std::string> Frames() { return FilesIn(m_temp, "*.jpg"); }
    std::vector<std::string> Seen() { return FilesIn(m_root.File("seen\\"), "*.jpg"); }

    rig::TempFolder m_root;
    std::string m_temp;
    MainWindowHost m_main;
};

} // namespace

TEST_F(VideoJobTest, CopiesJpegBytesConvertsTheRestAndNumbersWithoutGaps)
{
    std::string jpg = Source("a.jpg", L"image/jpeg", RGB(255, 0, 0));
    std::string png = Source("b.png", L"image/png", RGB(0, 255, 0));
    std::string bmp = Source("c.bmp", L"image/bmp", RGB(0, 0, 255));
    std::string gif = Source("d.gif", L"image/gif", RGB(255, 255, 0));
    m_main.AddRow("JPG", jpg);
    m_main.AddRow("Others", m_root.File("missing.xyz"));
    m_main.AddRow("PNG", png);
    m_main.AddRow("BMP", bmp);
    m_main.AddRow("GIF", gif);
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    WorkResult result = Run();
    EXPECT_EQ(result.text, "Make time lapse video success.");
    std::vector<std::string> seen = Seen();
    ASSERT_EQ(seen.size(), 4u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].substr(14), "_000" + std::to_string(i + 1) + ".jpg");
        EXPECT_EQ(rig::ReadFileBytes(m_root.File("seen\\" + seen[i])).substr(0, 2), "\xFF\xD8");
    }
    EXPECT_EQ(rig::ReadFileBytes(m_root.File("seen\\" + seen[0])), rig::ReadFileBytes(jpg));
    EXPECT_TRUE(Frames().empty());
}

TEST_F(VideoJobTest, SortsByCreationTimeWhenAsked)
{
    std::string newer = Source("newer.jpg", L"image/jpeg", RGB(255, 0, 0));
    std::string older = Source("older.jpg", L"image/jpeg", RGB(0, 0, 255));
    m_main.AddRow("JPG", newer, "03/04/2021 10:00:00");
    m_main.AddRow("JPG", older, "03/04/2020 10:00:00");
    g_settings.SortByTime = 1;
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    Run();
    std::vector<std::string> seen = Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(rig::ReadFileBytes(m_root.File("seen\\" + seen[0])), rig::ReadFileBytes(older));
}

TEST_F(VideoJobTest, SkipsSourcesDeletedOrLockedAfterListing)
{
    std::string good = Source("good.jpg", L"image/jpeg", RGB(1, 2, 3));
    std::string locked = Source("locked.png", L"image/png", RGB(1, 2, 3));
    std::string lockedJpg = Source("locked.jpg", L"image/jpeg", RGB(1, 2, 3));
    m_main.AddRow("JPG", m_root.File("gone.jpg"));
    m_main.AddRow("PNG", locked);
    m_main.AddRow("JPG", lockedJpg);
    m_main.AddRow("BMP", m_root.File("gone.bmp"));
    m_main.AddRow("JPG", good);
    HANDLE lock1 = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE lock2 = ::CreateFileA(lockedJpg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    WorkResult result = Run();
    ::CloseHandle(lock1);
    ::CloseHandle(lock2);
    EXPECT_EQ(result.text, "Make time lapse video success.");
    EXPECT_EQ(result.calls, FullRun(5));
    std::vector<std::string> seen = Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].substr(14), "_0001.jpg");
    EXPECT_EQ(rig::ReadFileBytes(m_root.File("seen\\" + seen[0])), rig::ReadFileBytes(good));
    EXPECT_TRUE(Frames().empty());
}

TEST_F(VideoJobTest, AnEncoderThatFailsOrCrashesOrWritesNothingIsAFailure)
{
    m_main.AddRow("JPG", Source("a.jpg", L"image/jpeg", RGB(1, 2, 3)));
    for (const std::string& command : {std::string("sh -c 'exit 1' sh"), std::string("sh -c 'kill -SEGV $$' sh"),
                                       std::string(COPYING_ENCODER) + " empty"}) {
        HostEncoder encoder(command);
        WorkResult result = Run();
        EXPECT_EQ(result.ending, IDCANCEL) << command;
        EXPECT_EQ(result.text, "Make time lapse video failed.") << command;
        EXPECT_EQ(result.calls, FullRun(1)) << command;
        EXPECT_TRUE(Frames().empty()) << command;
    }
}

TEST_F(VideoJobTest, ADestinationInAMissingFolderIsAFailure)
{
    m_main.AddRow("PNG", Source("a.png", L"image/png", RGB(1, 2, 3)));
    g_settings.DestinationFile = m_root.File("no such folder\\out.mp4");
    WorkResult result = Run();
    EXPECT_EQ(result.ending, IDCANCEL);
    EXPECT_EQ(result.text, "Make time lapse video failed.");
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(::GetFileAttributesA(m_root.File("no such folder").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(VideoJobTest, NothingConvertibleAsksForImagesWithoutRunningTheEncoder)
{
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    WorkResult result = Run();
    EXPECT_EQ(result.ending, IDOK);
    EXPECT_EQ(result.text, "Please select image files.");
    std::vector<ProgressCall> expected = OpeningCalls();
    expected.push_back(SetRange(0, 20));
    expected.push_back(DeltaPos(5));
    EXPECT_EQ(result.calls, expected);

    m_main.AddRow("Others", m_root.File("x.txt"));
    m_main.AddRow("Others", m_root.File("y.doc"));
    result = Run();
    EXPECT_EQ(result.ending, IDOK);
    EXPECT_EQ(result.text, "Please select image files.");
    EXPECT_EQ(::GetFileAttributesA(g_settings.DestinationFile.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA(m_root.File("seen").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(VideoJobTest, ATempFolderThatCannotBeCreatedStopsBeforeAnyProgress)
{
    ASSERT_TRUE(rig::WriteFileBytes(m_root.File("plain file"), "x"));
    g_settings.TempPath = m_root.File("plain file\\frames\\");
    m_main.AddRow("JPG", Source("a.jpg", L"image/jpeg", RGB(1, 2, 3)));
    WorkResult result = Run();
    EXPECT_EQ(result.ending, IDCANCEL);
    EXPECT_EQ(result.text, "Temp path does not exist.\n(" + g_settings.TempPath + ")");
    EXPECT_EQ(result.calls, OpeningCalls());
}

TEST_F(VideoJobTest, AMissingTempFolderIsCreatedSilently)
{
    g_settings.TempPath = m_root.File("new\\deeper \xC3\xB1\\");
    m_temp = g_settings.TempPath;
    m_main.AddRow("JPG", Source("a.jpg", L"image/jpeg", RGB(1, 2, 3)));
    HostEncoder encoder(std::string(COPYING_ENCODER) + " ok");
    WorkResult result = Run();
    EXPECT_EQ(result.text, "Make time lapse video success.");
    EXPECT_NE(::GetFileAttributesA(m_temp.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(Frames().empty());
}
