// The whole road in the shipped program, driven from this process: Select Files through
// the real file dialog, Make Video through the settings dialog, and the videos it leaves.
#include "resource.h"
#include "rig/FileDialog.h"
#include "rig/Media.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>

namespace {

const char TITLE[] = "Lumvex Time Lapse Video Tools";

struct Source {
    std::string name;
    const wchar_t* mime;  // null: not an image, though named like one
    COLORREF color;
};

bool IsColor(COLORREF actual, COLORREF expected)
{
    auto within = [](int a, int b) { return a - b < 40 && b - a < 40; };
    return within(GetRValue(actual), GetRValue(expected)) && within(GetGValue(actual), GetGValue(expected))
        && within(GetBValue(actual), GetBValue(expected));
}

class ProgramRoad : public ::testing::Test {
protected:
    // The program copied into a folder of its own, its settings and temporary folder with it.
    void Start(bool withEncoder)
    {
        m_exe = m_folder.File(LUMVEX_TEST_COPY_NAME);
        ASSERT_TRUE(rig::CopyFileTo(rig::ExecutableDirectory() + LUMVEX_EXE_NAME, m_exe));
        if (withEncoder) {
            ASSERT_TRUE(rig::CopyFileTo(rig::ExecutableDirectory() + "ffmpeg.exe", m_folder.File("ffmpeg.exe")));
        }
        ASSERT_TRUE(::CreateDirectoryA(SourceFolder().c_str(), nullptr));
        m_program = std::make_unique<rig::ChildProcess>(m_exe);
        ASSERT_TRUE(m_program->Started());
        m_window = rig::WaitForTopLevel(m_program->Id(), "#32770", TITLE);
        ASSERT_NE(m_window, nullptr);
    }

    void TearDown() override
    {
        if (m_program && m_window) {
            rig::Click(m_window, IDC_CLOSE);
            rig::MessageBoxInfo box = rig::WaitForMessageBox(m_program->Id());
            if (box.hwnd)
                rig::AnswerMessageBox(box.hwnd, IDYES);
            EXPECT_EQ(m_program->WaitForExit(), 0u);
        }
    }

    std::string SourceFolder() const { return m_folder.File("sources \xC3\xA0 voir\\"); }

    void WriteSources(const std::vector<Source>& sources)
    {
        for (const Source& source : sources) {
            std::string path = SourceFolder() + source.name;
            if (source.mime)
                ASSERT_TRUE(rig::WriteImageFile(path, source.mime, 96, 64, source.color));
            else
                ASSERT_TRUE(rig::WriteFileBytes(path, "just some text"));
            m_before.push_back(rig::ReadFileBytes(path));
            m_sources.push_back(source);
        }
    }

    void SelectFiles(const std::vector<std::string>& names)
    {
        rig::Click(m_window, IDC_SELECT_FILES);
        HWND open = rig::WaitForTopLevel(m_program->Id(), "#32770", "Select one or multiple files");
        ASSERT_NE(open, nullptr);
        ASSERT_TRUE(rig::SubmitFileName(open, SourceFolder()));
        std::string quoted;
        for (const std::string& name : names)
            quoted += "\"" + name + "\" ";
        ASSERT_TRUE(rig::SubmitFileName(open, quoted));
        ASSERT_TRUE(rig::WaitForWindowGone(open));
        ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(List()) >= static_cast<int>(names.size()); }));
        ASSERT_TRUE(rig::WaitUntil([&] { return ::IsWindowEnabled(m_window); }));
    }

    HWND List() const { return ::GetDlgItem(m_window, IDC_FILE_LIST); }

    // Settings dialog: type index, rate, size index, sort box; the destination is typed into
    // the save dialog without an extension, which the dialog adds.
    void MakeVideo(int type, int rateIndex, int sizeIndex, bool sort, const std::string& destinationWithoutExtension,
                   bool screenshots = false)
    {
        rig::Click(m_window, IDC_MAKE_VIDEO);
        HWND settings = rig::WaitForTopLevel(m_program->Id(), "#32770", "Make time lapse video");
        ASSERT_NE(settings, nullptr);
        ::SendDlgItemMessageA(settings, IDC_VIDEO_TYPE, CB_SETCURSEL, type, 0);
        ::SendDlgItemMessageA(settings, IDC_FRAME_RATE, CB_SETCURSEL, rateIndex, 0);
        ::SendDlgItemMessageA(settings, IDC_VIDEO_SIZE, CB_SETCURSEL, sizeIndex, 0);
        ::SendDlgItemMessageA(settings, IDC_SORT_BY_TIME, BM_SETCHECK, sort ? BST_CHECKED : BST_UNCHECKED, 0);
        rig::Click(settings, IDC_BROWSE_DEST);
        HWND save = rig::WaitForTopLevel(m_program->Id(), "#32770", "Select the destination file");
        ASSERT_NE(save, nullptr);
        ASSERT_TRUE(rig::SubmitFileName(save, destinationWithoutExtension));
        ASSERT_TRUE(rig::WaitForWindowGone(save));
        ASSERT_TRUE(rig::WaitUntil([&] { return !rig::ItemText(settings, IDC_DEST_FILE).empty(); }));
        if (screenshots)
            rig::SaveScreenshot(rig::ExecutableDirectory() + "road-settings.png");
        rig::Click(settings, IDOK);
        if (screenshots) {
            HWND work = rig::WaitForNewDialog(m_program->Id(), {m_window, settings}, 5000);
            if (work && ::GetDlgItem(work, IDC_WAIT_PROGRESS))
                rig::SaveScreenshot(rig::ExecutableDirectory() + "road-work.png");
        }
    }

    rig::MessageBoxInfo Result(bool screenshot = false)
    {
        rig::MessageBoxInfo box = rig::WaitForMessageBox(m_program->Id(), 120000);
        if (screenshot)
            rig::SaveScreenshot(rig::ExecutableDirectory() + "road-result.png");
        if (box.hwnd)
            rig::AnswerMessageBox(box.hwnd, IDOK);
        return box;
    }

    void ExpectNoFrameAndUnchangedSources()
    {
        WIN32_FIND_DATAA data;
        HANDLE find = ::FindFirstFileA(m_folder.File("temp\\*.jpg").c_str(), &data);
        EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "a frame outlived the job: " << data.cFileName;
        if (find != INVALID_HANDLE_VALUE)
            ::FindClose(find);
        for (size_t i = 0; i < m_sources.size(); ++i)
            EXPECT_EQ(rig::ReadFileBytes(SourceFolder() + m_sources[i].name), m_before[i]) << m_sources[i].name;
    }

    // The work dialog once it is up, and its bar.
    HWND WorkDialog(HWND& bar)
    {
        HWND work = nullptr;
        rig::WaitUntil([&] {
            HWND found = rig::FindTopLevel(m_program->Id(), "#32770", "");
            if (found && ::GetDlgItem(found, IDC_WAIT_PROGRESS))
                work = found;
            return work != nullptr;
        });
        bar = work ? ::GetDlgItem(work, IDC_WAIT_PROGRESS) : nullptr;
        return work;
    }

    // Presses Cancel and checks what a cancelled job leaves: nothing at all.
    void CancelAndExpectNothingLeft(HWND work, const std::string& destination)
    {
        DWORD pressed = ::GetTickCount();
        rig::Click(work, IDCANCEL);
        ASSERT_TRUE(rig::WaitForWindowGone(work, 10000));
        DWORD took = ::GetTickCount() - pressed;
        std::printf("cancel: %lu ms from the press to the dialog gone\n", took);
        EXPECT_LE(took, 2000u);
        ASSERT_TRUE(rig::WaitUntil([&] { return ::IsWindowEnabled(m_window); }));
        EXPECT_EQ(rig::FindTopLevel(m_program->Id(), "#32770", ""), m_window) << "no message after a cancel";
        EXPECT_EQ(::GetFileAttributesA(destination.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(rig::WaitUntil([&] { return rig::FilesIn(m_folder.File("temp\\")).empty(); }, 5000))
            << "frames or files left in the temporary folder";
        // The host encoder's arguments name this test's own temporary folder.
        EXPECT_TRUE(rig::WaitUntil(
            [&] {
                return rig::RunHostTool("sh", "-c \"ps -eo args | grep -F -- \\\"$1\\\" | grep -q ^ffmpeg && exit 1; exit 0\" sh \""
                                                  + m_folder.File("temp") + "\"") == 0;
            },
            1000));
        EXPECT_EQ(rig::RowCount(List()), static_cast<int>(m_sources.size()));
    }

    rig::TempFolder m_folder;
    std::string m_exe;
    std::unique_ptr<rig::ChildProcess> m_program;
    HWND m_window = nullptr;
    std::vector<Source> m_sources;
    std::vector<std::string> m_before;
};

} // namespace

TEST_F(ProgramRoad, SelectsMixedFilesAndMakesMp4AviAndFlvVideos)
{
    Start(true);
    WriteSources({{"one.jpg", L"image/jpeg", RGB(255, 0, 0)},
                  {"two.png", L"image/png", RGB(0, 255, 0)},
                  {"three.bmp", L"image/bmp", RGB(0, 0, 255)},
                  {"four.gif", L"image/gif", RGB(255, 255, 0)},
                  {"fake.jpg", nullptr, 0}});
    SelectFiles({"one.jpg", "two.png", "three.bmp", "four.gif", "fake.jpg"});
    auto rows = rig::Rows(List());
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[4][2], "Others");
    EXPECT_TRUE(rig::IsEnabled(m_window, IDC_MAKE_VIDEO));

    struct Run {
        int type;
        const char* extension;
        const char* format;
    } runs[] = {{0, "mp4", "mov,mp4,m4a,3gp,3g2,mj2"}, {1, "avi", "avi"}, {2, "flv", "flv"}};
    bool first = true;
    for (const Run& run : runs) {
        std::string destination = m_folder.File(std::string("video ") + run.extension);
        MakeVideo(run.type, 9, 2, false, destination, first);
        rig::MessageBoxInfo box = Result(first);
        first = false;
        EXPECT_EQ(box.text, "Make time lapse video success.") << run.extension;
        EXPECT_EQ(box.caption, TITLE);
        EXPECT_EQ(box.icon, rig::Icon::Information);
        rig::VideoProbe probe;
        ASSERT_TRUE(rig::ProbeVideo(destination + "." + run.extension, probe)) << run.extension;
        EXPECT_EQ(probe.formatName, run.format);
        if (run.type == 0) {
            EXPECT_EQ(rig::Mp4PlaybackFaults(destination + ".mp4", probe), "");
        }
        EXPECT_EQ(probe.frameCount, 4) << run.extension;
        EXPECT_EQ(probe.width, 360);
        EXPECT_EQ(probe.height, 240);
        EXPECT_EQ(probe.frameRate, "10/1");
        COLORREF centre = 0;
        ASSERT_TRUE(rig::VideoFrameCentre(destination + "." + run.extension, 0, centre));
        EXPECT_TRUE(IsColor(centre, RGB(255, 0, 0))) << std::hex << centre;
        ExpectNoFrameAndUnchangedSources();
    }
}

TEST_F(ProgramRoad, WithoutTheEncoderNamesItsFullPathAndWritesNoFrame)
{
    Start(false);
    WriteSources({{"one.png", L"image/png", RGB(255, 0, 0)}});
    SelectFiles({"one.png"});
    MakeVideo(0, 9, 2, false, m_folder.File("never"));
    rig::MessageBoxInfo box = Result();
    EXPECT_EQ(box.text, "Missing file.\n(" + m_folder.Path() + "ffmpeg.exe)");
    EXPECT_EQ(box.icon, rig::Icon::Error);
    EXPECT_EQ(::GetFileAttributesA(m_folder.File("never.mp4").c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectNoFrameAndUnchangedSources();
}

TEST_F(ProgramRoad, CancellingEitherDialogChangesNothingAndShowsNothing)
{
    Start(true);
    rig::Click(m_window, IDC_SELECT_FILES);
    HWND open = rig::WaitForTopLevel(m_program->Id(), "#32770", "Select one or multiple files");
    ASSERT_NE(open, nullptr);
    rig::Click(open, IDCANCEL);
    ASSERT_TRUE(rig::WaitForWindowGone(open));
    ASSERT_TRUE(rig::WaitUntil([&] { return ::IsWindowEnabled(m_window); }));
    EXPECT_EQ(rig::RowCount(List()), 0);
    EXPECT_FALSE(rig::IsEnabled(m_window, IDC_MAKE_VIDEO));

    WriteSources({{"one.jpg", L"image/jpeg", RGB(255, 0, 0)}});
    SelectFiles({"one.jpg"});
    rig::Click(m_window, IDC_MAKE_VIDEO);
    HWND settings = rig::WaitForTopLevel(m_program->Id(), "#32770", "Make time lapse video");
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(m_window)) << "the main window waits for the settings dialog";
    rig::Click(settings, IDCANCEL);
    ASSERT_TRUE(rig::WaitForWindowGone(settings));
    ASSERT_TRUE(rig::WaitUntil([&] { return ::IsWindowEnabled(m_window); }));
    EXPECT_EQ(rig::FindTopLevel(m_program->Id(), "#32770", ""), m_window) << "no work dialog, no message";
    EXPECT_FALSE(::PathFileExistsA(m_folder.File("lumvextimelapsevideo.ini").c_str()));
    EXPECT_EQ(rig::RowCount(List()), 1);
}

// The encoder reads at the frame rate (-re), so a short sequence encodes for ten seconds: the
// bar must keep moving through it, and Cancel must end it, its frames and its video at once.
// A second run cancels while full-HD frames are still being converted.
TEST_F(ProgramRoad, LongJobsKeepTheBarMovingAndCancelLeavesNothing)
{
    ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", "ffmpeg -re");
    Start(true);
    ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", nullptr);
    std::vector<Source> small;
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        small.push_back({"s" + std::to_string(100 + i) + ".png", L"image/png", RGB(12 * i, 90, 200)});
        names.push_back(small.back().name);
    }
    WriteSources(small);
    SelectFiles(names);
    const int rows = 20;
    std::string destination = m_folder.File("cancelled");
    MakeVideo(0, 1, 0, false, destination);
    HWND bar = nullptr;
    HWND work = WorkDialog(bar);
    ASSERT_NE(work, nullptr);
    ASSERT_TRUE(rig::WaitUntil([&] { return ::SendMessageA(bar, PBM_GETPOS, 0, 0) > 5 + rows; }));
    rig::SaveScreenshot(rig::ExecutableDirectory() + "road-cancel.png");
    DWORD lastMove = ::GetTickCount();
    DWORD longestStill = 0;
    LRESULT last = ::SendMessageA(bar, PBM_GETPOS, 0, 0);
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 5000;) {
        ::Sleep(200);  // the sampling period itself
        LRESULT now = ::SendMessageA(bar, PBM_GETPOS, 0, 0);
        if (now != last) {
            longestStill = std::max(longestStill, ::GetTickCount() - lastMove);
            lastMove = ::GetTickCount();
            last = now;
        }
    }
    longestStill = std::max(longestStill, ::GetTickCount() - lastMove);
    EXPECT_LE(longestStill, 2000u) << "the bar stood still while encoding";
    EXPECT_LT(last, 5 + 2 * rows) << "the encoding ended before the cancel";
    CancelAndExpectNothingLeft(work, destination + ".mp4");

    std::string hd = SourceFolder() + "hd_%04d.png";
    ASSERT_EQ(rig::RunHostTool("ffmpeg", "-v error -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v 60 -y \"" + hd + "\""), 0);
    names.clear();
    for (int i = 1; i <= 60; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "hd_%04d.png", i);
        names.push_back(name);
        m_sources.push_back({name, nullptr, 0});
        m_before.push_back(rig::ReadFileBytes(SourceFolder() + name));
    }
    SelectFiles(names);
    MakeVideo(0, 9, 0, false, destination);
    work = WorkDialog(bar);
    ASSERT_NE(work, nullptr);
    ASSERT_TRUE(rig::WaitUntil([&] { return ::SendMessageA(bar, PBM_GETPOS, 0, 0) > 5 + 5; }));
    EXPECT_LT(::SendMessageA(bar, PBM_GETPOS, 0, 0), 5 + 80) << "the frames were all written before the cancel";
    CancelAndExpectNothingLeft(work, destination + ".mp4");
    ExpectNoFrameAndUnchangedSources();
}
