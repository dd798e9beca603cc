// The shipped program's whole road, driven from this process: a copy in a folder of its own
// (its settings and temporary folder land there), files chosen through the real file dialog,
// videos made through the settings dialog, and the quit question.
#include "framework/Text.h"
#include "resource.h"
#include "rig/Media.h"
#include "rig/Player.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr char SUCCESS[] = "Make time lapse video success.\n\nDo you want to open the video now?";

class ProgramRoad : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        // LUMVEX_PROGRAM names a released program to drive where it stands, installed or
        // unpacked (tools/release-check.sh); otherwise a copy of the build's runs here.
        std::string program = std::getenv("LUMVEX_PROGRAM") ? std::getenv("LUMVEX_PROGRAM") : "";
        if (program.empty()) {
            program = m_folder.File(LUMVEX_TEST_COPY_NAME);
            ASSERT_TRUE(rig::CopyFileTo(rig::ExecutableDirectory() + LUMVEX_EXE_NAME, program));
        }
        m_programFolder = program.substr(0, program.find_last_of('\\') + 1);
        m_programPath = program;
        ASSERT_TRUE(::CreateDirectoryA(Sources().c_str(), nullptr));
        Restart();
    }

    // Ends the program if it runs, and starts it again.
    void Restart()
    {
        m_program.reset();
        m_program = std::make_unique<rig::ChildProcess>(m_programPath);
        m_window = rig::WaitForTopLevel(m_program->Id(), "#32770", rig::PROGRAM_TITLE);
        ASSERT_NE(m_window, nullptr);
    }

    std::string ProgramFile(const std::string& name) const { return m_programFolder + name; }
    const std::string& Sources() const { return m_sources; }
    HWND List() const { return ::GetDlgItem(m_window, IDC_FILE_LIST); }
    bool Enabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(m_window, id)); }

    HWND WaitForDialog(const std::string& caption) { return rig::WaitForTopLevel(m_program->Id(), "#32770", caption); }

    void SelectFiles(const std::vector<std::string>& names)
    {
        int before = rig::RowCount(List());
        rig::Click(m_window, IDC_SELECT_FILES);
        HWND open = WaitForDialog("Select one or multiple files");
        ASSERT_NE(open, nullptr);
        ASSERT_TRUE(rig::SubmitFileName(open, Sources()));
        std::string quoted;
        for (const std::string& name : names)
            quoted += "\"" + name + "\" ";
        ASSERT_TRUE(rig::SubmitFileName(open, quoted));
        int after = before + static_cast<int>(names.size());
        ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(List()) == after && ::IsWindowEnabled(m_window); }));
    }

    // Settings: frame rate, size and type by index; the destination is typed into the save dialog
    // without an extension, which the dialog adds. An existing one is replaced after a No.
    void MakeVideo(int rateIndex, const std::string& destination, bool exists = false, int sizeIndex = 2, int typeIndex = 0)
    {
        rig::Click(m_window, IDC_MAKE_VIDEO);
        HWND settings = WaitForDialog("Make time lapse video");
        ASSERT_NE(settings, nullptr);
        ::SendDlgItemMessageA(settings, IDC_FRAME_RATE, CB_SETCURSEL, rateIndex, 0);
        ::SendDlgItemMessageA(settings, IDC_VIDEO_SIZE, CB_SETCURSEL, sizeIndex, 0);
        ::SendDlgItemMessageA(settings, IDC_VIDEO_TYPE, CB_SETCURSEL, typeIndex, 0);
        rig::Click(settings, IDC_BROWSE_DEST);
        HWND save = WaitForDialog("Select the destination file");
        ASSERT_NE(save, nullptr);
        ASSERT_TRUE(rig::SubmitFileName(save, destination));
        ASSERT_TRUE(rig::WaitUntil([&] { return !rig::ItemText(settings, IDC_DEST_FILE).empty(); }));
        for (int answer : {IDNO, IDYES}) {
            EXPECT_TRUE(::IsWindowVisible(settings));
            rig::Click(settings, IDOK);
            if (!exists)
                return;
            EXPECT_EQ(rig::AnswerMessageBox(answer, m_program->Id()),
                      "Destination file already exists.\nDo you want to replace it?");
        }
    }

    // The job's message box, answered; a made video's asks whether to open it.
    std::string Result(int answer = IDOK) { return rig::AnswerMessageBox(answer, m_program->Id(), 120000); }

    void ExpectNoFrameLeft()
    {
        EXPECT_TRUE(rig::WaitUntil([&] { return rig::FilesIn(ProgramFile("temp\\")).empty(); }, 5000))
            << "frames or files left in the temporary folder";
    }

    // Copies of the fixtures in the sources folder, the list `times` over; their names.
    std::vector<std::string> AddSources(const std::vector<std::string>& fixtureNames, int times = 1)
    {
        std::vector<std::string> names;
        for (int i = 0; i < times; ++i) {
            for (const std::string& fixture : fixtureNames) {
                names.push_back("s" + std::to_string(m_sourceCount++) + fixture.substr(fixture.find('.')));
                EXPECT_TRUE(rig::CopyFileTo(fixtures::Path(fixture), Sources() + names.back()));
            }
        }
        return names;
    }

    rig::TempFolder m_folder;
    std::string m_sources = m_folder.File("sources \xC3\xA0 voir\\");
    std::string m_programFolder;  // where its settings, temporary folder and encoder go
    std::string m_programPath;
    std::unique_ptr<rig::ChildProcess> m_program;
    HWND m_window = nullptr;
    int m_sourceCount = 0;
};

} // namespace

TEST_P(ProgramRoad, SelectsFilesMakesAnMp4FailsSayingWhyCancelsLeavingNothingAndQuits)
{
    EXPECT_FALSE(Enabled(IDC_MAKE_VIDEO));

    std::vector<std::string> names = AddSources({"baseline.jpg", "red.png", "bmp24.bmp", "still.gif"});
    ASSERT_TRUE(rig::WriteFileBytes(Sources() + "fake.jpg", "just some text"));
    names.push_back("fake.jpg");
    // The rows' texts are the main window test's; the video's four frames show the images read.
    SelectFiles(names);
    EXPECT_TRUE(rig::WaitUntil([&] { return Enabled(IDC_MAKE_VIDEO); }));

    rig::Click(m_window, IDC_MAKE_VIDEO);
    HWND settings = WaitForDialog("Make time lapse video");
    ASSERT_NE(settings, nullptr);
    rig::Click(settings, IDCANCEL);
    ASSERT_TRUE(rig::WaitUntil([&] { return !::IsWindowVisible(settings) && ::IsWindowEnabled(m_window); }));
    EXPECT_EQ(rig::FindTopLevel(m_program->Id(), "#32770", ""), m_window) << "no work dialog, no message";
    EXPECT_FALSE(::PathFileExistsA(ProgramFile("lumvextimelapsevideo.ini").c_str()));

    // A released program carries its encoder: as if the user had deleted it, then put back.
    const std::string encoder = ProgramFile("ffmpeg.exe");
    const bool shippedBeside = ::PathFileExistsA(encoder.c_str());
    ASSERT_TRUE(!shippedBeside || ::MoveFileA(encoder.c_str(), (encoder + ".aside").c_str()));
    std::string video = m_folder.File("video");
    MakeVideo(9, video);
    std::string box = Result();
    EXPECT_EQ(box, "Missing file.\n(" + encoder + ")\nThis program needs ffmpeg.exe in its own folder.");
    EXPECT_FALSE(::PathFileExistsA((video + ".mp4").c_str()));
    ExpectNoFrameLeft();

    if (shippedBeside && std::string(GetParam()) == "shipped")
        ASSERT_TRUE(::MoveFileA((encoder + ".aside").c_str(), encoder.c_str()));
    else
        ASSERT_TRUE(rig::CopyFileTo(rig::EncoderPath(GetParam()), encoder));
    MakeVideo(9, video);
    box = Result(IDNO);
    EXPECT_EQ(box, SUCCESS);
    rig::VideoProbe probe;
    ASSERT_TRUE(rig::ProbeVideo(video + ".mp4", probe));
    EXPECT_EQ(rig::Mp4PlaybackFaults(video + ".mp4", probe), "");
    EXPECT_EQ(std::make_tuple(probe.frameCount, probe.width, probe.height, probe.frameRate),
              std::make_tuple(4, 360, 240, "10/1"));
    ExpectNoFrameLeft();

    // A volume too small for the video: the encoder fails half way and says why.
    rig::SmallVolume small(m_folder.File("small"), "16k");
    if (small.Mounted()) {
        SelectFiles(AddSources({"noise.png"}, 10));
        MakeVideo(9, m_folder.File("small\\video"));
        box = Result();
        EXPECT_EQ(box.substr(0, box.find('\n')), "Make time lapse video failed.");
        // The encoder's own words on the video it could not finish (Wine's C runtime calls the
        // full disk an "Invalid argument"; Windows' says "No space left on device").
        EXPECT_TRUE(box.find(": Invalid argument") != std::string::npos
                    || box.find(": No space left on device") != std::string::npos) << box;
        EXPECT_TRUE(rig::FilesIn(m_folder.File("small\\")).empty()) << "the part written is gone";
        ExpectNoFrameLeft();
    }

    // Long enough to watch, whatever the machine: 200 frames of noise at 4K take any encoder
    // many times longer than the few moves of the bar watched before Cancel. The bar keeps
    // moving through the encoding, and Cancel ends the encoders, the frames and the video at once.
    SelectFiles(AddSources({"noise.jpg"}, 200));
    const int count = rig::RowCount(List());
    MakeVideo(1, video, true, 7);
    HWND work = nullptr, bar = nullptr;
    ASSERT_TRUE(rig::WaitUntil([&] {
        work = rig::FindTopLevel(m_program->Id(), "#32770", "", {m_window});
        return (bar = ::GetDlgItem(work, IDC_WAIT_PROGRESS)) != nullptr;
    }));
    auto position = [&] { return ::SendMessageA(bar, PBM_GETPOS, 0, 0); };
    ASSERT_TRUE(rig::WaitUntil([&] { return position() > 5 + count; }));
    for (int move = 0; move < 3; ++move) {
        LRESULT before = position();
        EXPECT_TRUE(rig::WaitUntil([&] { return position() != before; })) << "the bar stood still while encoding";
    }
    EXPECT_LT(position(), 5 + 2 * count) << "the encoding ended before the cancel";
    DWORD pressed = ::GetTickCount();
    rig::Click(work, IDCANCEL);
    ASSERT_TRUE(rig::WaitForWindowGone(work, 10000));
    EXPECT_LE(::GetTickCount() - pressed, 2000u) << "from the press to the dialog gone";
    ASSERT_TRUE(rig::WaitUntil([&] { return ::IsWindowEnabled(m_window); }));
    EXPECT_EQ(rig::FindTopLevel(m_program->Id(), "#32770", ""), m_window) << "no message after a cancel";
    EXPECT_FALSE(::PathFileExistsA((video + ".mp4").c_str()));
    ExpectNoFrameLeft();
    EXPECT_EQ(rig::ChildProcessCount(m_program->Id()), 0) << "an encoder outlived the cancel";
    EXPECT_EQ(rig::RowCount(List()), count);

    std::string settingsFile = rig::ReadFileBytes(ProgramFile("lumvextimelapsevideo.ini"));
    rig::Click(m_window, IDC_CLOSE);
    rig::AnswerMessageBox(IDYES, m_program->Id());
    EXPECT_EQ(m_program->WaitForExit(), 0u);
    EXPECT_EQ(rig::ReadFileBytes(ProgramFile("lumvextimelapsevideo.ini")), settingsFile) << "quitting saves nothing";
}

// Preview makes a draft of the choices as they stand, an MP4 whatever the type, which the shell
// opens in the user's player: the video's frames in the same order and framing, at most 640
// wide, camera-sized ones read at a reduced scale through the deflicker. It stores nothing and
// the settings stay open. A draft a player holds outlasts the next draft and video, and goes at
// the next start once let go. A made video opens on Yes, not on No; one no program opens is told.
TEST_P(ProgramRoad, PreviewOpensADraftInThePlayerAndAMadeVideoOpensOnYes)
{
    rig::TempFolder drafts;
    rig::ScopedVariable tmp("TMP", drafts.Path());
    rig::RegisteredPlayer player(".mp4");
    ASSERT_NO_FATAL_FAILURE(Restart());
    ASSERT_TRUE(rig::CopyFileTo(rig::EncoderPath(GetParam()), ProgramFile("ffmpeg.exe")));
    // A released program may have settings of an earlier run; none here is none after.
    const std::string settingsFile = ProgramFile("lumvextimelapsevideo.ini");
    const std::string stored = ::PathFileExistsA(settingsFile.c_str()) ? rig::ReadFileBytes(settingsFile) : "none";
    SelectFiles(AddSources({"camera.jpg", "portrait.jpg", "orientation-6.jpg"}));
    rig::Click(m_window, IDC_MAKE_VIDEO);
    HWND settings = WaitForDialog("Make time lapse video");
    ASSERT_NE(settings, nullptr);
    ::SendDlgItemMessageA(settings, IDC_VIDEO_SIZE, CB_SETCURSEL, 6, 0);
    ::SendDlgItemMessageA(settings, IDC_VIDEO_TYPE, CB_SETCURSEL, 2, 0);
    ::CheckDlgButton(settings, IDC_DEFLICKER, BST_CHECKED);
    for (size_t opened = 1; opened <= 2; ++opened) {
        rig::Click(settings, IDC_PREVIEW);
        ASSERT_TRUE(rig::WaitUntil([&] { return player.Opened().size() == opened; }, 120000));
    }
    const std::vector<std::string> previews = player.Opened();
    EXPECT_NE(previews[0], previews[1]);
    EXPECT_EQ(previews[1].rfind(drafts.Path(), 0), 0u) << previews[1];
    EXPECT_TRUE(::IsWindowVisible(settings));
    EXPECT_EQ(::PathFileExistsA(settingsFile.c_str()) ? rig::ReadFileBytes(settingsFile) : "none", stored)
        << "a preview stores nothing";

    const std::string video = m_folder.File("video");
    ::SendDlgItemMessageA(settings, IDC_VIDEO_TYPE, CB_SETCURSEL, 0, 0);
    ::SetDlgItemTextA(settings, IDC_DEST_FILE, (video + ".mp4").c_str());
    rig::Click(settings, IDOK);
    EXPECT_EQ(Result(IDNO), SUCCESS);
    rig::VideoProbe made, draft;
    ASSERT_TRUE(rig::ProbeVideo(video + ".mp4", made) && rig::ProbeVideo(previews[1], draft));
    EXPECT_EQ(rig::Mp4PlaybackFaults(previews[1], draft), "");
    EXPECT_EQ(std::make_tuple(draft.width, draft.height, draft.frameCount), std::make_tuple(640, 360, made.frameCount));
    std::vector<double> similarities = rig::FrameSimilarities(previews[1], video + ".mp4", "scale=640:360");
    ASSERT_EQ(static_cast<int>(similarities.size()), 3);
    for (double similarity : similarities)
        EXPECT_GE(similarity, 0.8);

    MakeVideo(9, video, true);
    EXPECT_EQ(Result(IDYES), SUCCESS);
    ASSERT_TRUE(rig::WaitUntil([&] { return player.Opened().size() == 3; }));
    EXPECT_EQ(player.Opened()[2], video + ".mp4") << "opened on Yes only";
    MakeVideo(9, video, false, 2, 2);
    EXPECT_EQ(Result(IDYES), SUCCESS);
    std::string told = Result();
    EXPECT_EQ(told.rfind("The video could not be opened: ", 0), 0u) << told;
    EXPECT_NE(told.find("\n(" + video + ".flv)"), std::string::npos) << told;

    EXPECT_EQ(rig::FilesIn(drafts.Path(), "*.mp4").size(), 2u) << "the drafts the player holds";
    player.Release();
    // Let go once it opens alone.
    ASSERT_TRUE(rig::WaitUntil([&] {
        return fw::unique_file(::CreateFileA(previews[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
            && fw::unique_file(::CreateFileA(previews[1].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    }));
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FilesIn(drafts.Path(), "*.mp4").empty(); }));
}

// How the program's encoders end when the program is ended from outside, and when Windows
// cannot start them.
class ProgramEnds : public ProgramRoad {};

// Killed while its encoders make segments (as Task Manager ends it): every encoder goes with
// it, and the next job takes away what it left. An encoder whose DLL is missing: the failure
// says so, with the error icon, and no system dialog waits anywhere.
TEST_P(ProgramEnds, KilledItsEncodersGoAndAMissingDllIsTold)
{
    ASSERT_TRUE(rig::CopyFileTo(rig::EncoderPath(GetParam()), ProgramFile("ffmpeg.exe")));
    SelectFiles(AddSources({"camera.jpg"}, 60));
    MakeVideo(1, m_folder.File("killed"), false, 7);
    const DWORD programId = m_program->Id();
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::ChildProcessCount(programId) >= 2; })) << "segments encoding";
    fw::unique_handle program(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, programId));
    DWORD killed = ::GetTickCount();
    ASSERT_TRUE(::TerminateProcess(program.get(), 1));
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::ChildProcessCount(programId) == 0; }, 10000)) << "an encoder outlived the program";
    std::printf("encoders gone %lu ms after the program was killed\n", ::GetTickCount() - killed);
    EXPECT_FALSE(rig::FilesIn(ProgramFile("temp\\")).empty()) << "the killed run's frames";

    ASSERT_TRUE(rig::CopyFileTo(rig::ExecutableDirectory() + "needs-dll\\ffmpeg.exe", ProgramFile("ffmpeg.exe")));
    m_program = std::make_unique<rig::ChildProcess>(ProgramFile(LUMVEX_TEST_COPY_NAME));
    m_window = rig::WaitForTopLevel(m_program->Id(), "#32770", rig::PROGRAM_TITLE);
    ASSERT_NE(m_window, nullptr);
    SelectFiles(AddSources({"baseline.jpg"}));
    MakeVideo(9, m_folder.File("needs-dll"));
    HWND box = nullptr;
    ASSERT_TRUE(rig::WaitUntil([&] { return (box = rig::FindTopLevel(m_program->Id(), "#32770", rig::PROGRAM_TITLE, {m_window})); }));
    // Windows' error icon is a red disc; the information icon has no red.
    auto redPixels = [&] {
        RECT boxRect{};
        ::GetWindowRect(box, &boxRect);
        size_t red = 0;
        for (COLORREF pixel : rig::ScreenPixels(boxRect))
            red += GetRValue(pixel) > 160 && GetGValue(pixel) < 90 && GetBValue(pixel) < 90;
        return red;
    };
    EXPECT_TRUE(rig::WaitUntil([&] { return redPixels() > 50; })) << "the error icon";
    EXPECT_EQ(Result(), "Make time lapse video failed.\nffmpeg.exe could not start: a DLL it needs is missing.");
    EXPECT_EQ(rig::FindTopLevel(0, "#32770", "", {m_window}), nullptr) << "a dialog waits";
    EXPECT_EQ(rig::ChildProcessCount(m_program->Id()), 0);
    // The next job took away what the killed run left.
    ExpectNoFrameLeft();
}

// The program, its photos and its video in folders named in Cyrillic and Japanese whose paths
// pass MAX_PATH bytes in UTF-8 while under MAX_PATH characters: it finds its encoder and
// settings, lists the photos and makes the video.
TEST_P(ProgramEnds, FoldersOfLongNonLatinNamesMakeTheVideo)
{
    const std::string level = "Программа покадровой съёмки 時間経過\\";
    std::string folder = m_folder.Path();
    for (int depth = 0; depth < 4; ++depth)
        ASSERT_TRUE(::CreateDirectoryA((folder += level).c_str(), nullptr));
    const std::string program = folder + LUMVEX_TEST_COPY_NAME;
    ASSERT_GT(program.size(), static_cast<size_t>(MAX_PATH));
    ASSERT_LT(fw::ToWide(program).size(), static_cast<size_t>(MAX_PATH));
    ASSERT_TRUE(rig::CopyFileTo(rig::ExecutableDirectory() + LUMVEX_EXE_NAME, program));
    ASSERT_TRUE(rig::CopyFileTo(rig::EncoderPath(GetParam()), folder + "ffmpeg.exe"));
    m_program = std::make_unique<rig::ChildProcess>(program);
    m_programFolder = folder;
    m_window = rig::WaitForTopLevel(m_program->Id(), "#32770", rig::PROGRAM_TITLE);
    ASSERT_NE(m_window, nullptr);

    m_sources = folder + "Фотографии с карты памяти 写真\\";
    ASSERT_TRUE(::CreateDirectoryA(m_sources.c_str(), nullptr));
    SelectFiles(AddSources({"baseline.jpg", "red.png"}));
    const std::string video = folder + "Видео 動画";
    MakeVideo(9, video);
    EXPECT_EQ(Result(IDNO), SUCCESS);
    rig::VideoProbe probe;
    ASSERT_TRUE(rig::ProbeVideo(video + ".mp4", probe));
    EXPECT_EQ(probe.frameCount, 2);
    ExpectNoFrameLeft();
}

INSTANTIATE_TEST_SUITE_P(Encoders, ProgramRoad, ::testing::ValuesIn(rig::ENCODERS));
INSTANTIATE_TEST_SUITE_P(Shipped, ProgramEnds, ::testing::Values("shipped"));
