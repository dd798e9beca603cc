#include "WorkDialogFixture.h"

#include "resource.h"
#include "rig/Media.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The job moves the bar once per batch of rows, and how the paths fall into batches
// depends on timing: runs of moves are added up.
std::vector<ProgressCall> JoinMoves(const std::vector<ProgressCall>& calls)
{
    std::vector<ProgressCall> joined;
    for (const ProgressCall& call : calls) {
        if (call.message == PBM_DELTAPOS && !joined.empty() && joined.back().message == PBM_DELTAPOS)
            joined.back().wParam += call.wParam;
        else
            joined.push_back(call);
    }
    return joined;
}

} // namespace

TEST(WaitDlg, WithoutAJobClosesAsOkAfterFiveSecondsAndIgnoresEnterAndEscape)
{
    RecordingWaitDlg dialog;
    WorkResult result;
    DWORD started = ::GetTickCount();
    rig::UiThread ui([&] { result.ending = dialog.DoModal(); });
    HWND hwnd = nullptr;
    ASSERT_TRUE(rig::WaitUntil([&] { return (hwnd = dialog.GetSafeHwnd()) != nullptr; }));
    EXPECT_EQ(rig::ItemText(hwnd, IDC_WAIT_LABEL), "Making time lapse video, please wait ...");
    ::PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
    rig::PressKey(hwnd, VK_ESCAPE);
    rig::PressKey(hwnd, VK_RETURN);
    ASSERT_TRUE(rig::WaitForPostedMessages(hwnd));
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    ASSERT_TRUE(ui.Join(15000));
    EXPECT_GE(::GetTickCount() - started, 4900u);
    EXPECT_EQ(result.ending, IDOK);
    EXPECT_EQ(dialog.GetResultText(), "");
    EXPECT_EQ(dialog.Calls(), OpeningCalls());
}

TEST(WaitDlg, ResultTextIsFormattedOnlyWithAnArgument)
{
    CWaitDlg dialog;
    dialog.SetResult(IDS_MISSING_FILE, "C:\\x\\ffmpeg.exe");
    EXPECT_EQ(dialog.GetResultText(), "Missing file.\n(C:\\x\\ffmpeg.exe)");
    dialog.SetResult(IDS_MISSING_FILE, "");
    EXPECT_EQ(dialog.GetResultText(), "Missing file.\n(%s)");
    dialog.SetResult(IDS_TEMP_PATH_MISSING, "50%s d\\");
    EXPECT_EQ(dialog.GetResultText(), "Temp path does not exist.\n(50%s d\\)");
}

TEST(WaitDlg, AThreadThatCannotStartEndsTheDialogAtOnceAsCancel)
{
    RecordingWaitDlg video;
    video.m_bMakeVideo = TRUE;
    video.m_failThreadStart = true;
    WorkResult result = RunWorkDialog(video, 5000);
    EXPECT_EQ(result.ending, IDCANCEL);
    EXPECT_EQ(result.text, "Make time lapse video failed.");

    RecordingWaitDlg delay;
    delay.m_failThreadStart = true;
    result = RunWorkDialog(delay, 5000);
    EXPECT_EQ(result.ending, IDCANCEL);
    EXPECT_EQ(result.text, "");
}

TEST(LoadFilesJob, AddsEveryPathMovingTheBarByOneEachAndNoMessage)
{
    rig::TempFolder folder;
    std::vector<std::string> paths = {folder.File("a.jpg"), folder.File("b.png"), folder.File("notes.txt")};
    ASSERT_TRUE(rig::WriteImageFile(paths[0], L"image/jpeg", 16, 8, RGB(1, 2, 3)));
    ASSERT_TRUE(rig::WriteImageFile(paths[1], L"image/png", 16, 8, RGB(1, 2, 3)));
    ASSERT_TRUE(rig::WriteFileBytes(paths[2], "hello"));
    MainWindowHost main;
    RecordingWaitDlg dialog;
    dialog.m_pMainDlg = &main.Window();
    dialog.m_bLoadFiles = TRUE;
    dialog.m_bMakeVideo = TRUE;
    dialog.SetFiles(paths);
    dialog.SetMessageId(IDS_LOADING_FILES);
    WorkResult result;
    rig::UiThread ui([&] { result.ending = dialog.DoModal(); });
    rig::WaitUntil([&] { return dialog.GetSafeHwnd() != nullptr; });
    std::string label = rig::ItemText(dialog.GetSafeHwnd(), IDC_WAIT_LABEL);
    ASSERT_TRUE(ui.Join(30000));
    EXPECT_EQ(label, "Loading files, please wait ...");
    EXPECT_EQ(result.ending, IDOK);
    EXPECT_EQ(dialog.GetResultText(), "");
    auto rows = rig::Rows(main.List());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][2], "JPG");
    EXPECT_EQ(rows[1][2], "PNG");
    EXPECT_EQ(rows[2][2], "Others");
    EXPECT_EQ(rows[2][5], paths[2]);
    std::vector<ProgressCall> expected = OpeningCalls();
    expected.push_back(SetRange(0, 3));
    expected.push_back(DeltaPos(3));
    expected.push_back(SetPos(3));
    EXPECT_EQ(JoinMoves(dialog.Calls()), expected);
}

TEST(LoadFilesJob, StopsAtTheRowLimitWithANotice)
{
    rig::TempFolder folder;
    std::vector<std::string> paths = {folder.File("1.bmp"), folder.File("2.bmp"), folder.File("3.bmp")};
    for (const std::string& path : paths)
        ASSERT_TRUE(rig::WriteImageFile(path, L"image/bmp", 4, 4, RGB(9, 9, 9)));
    MainWindowHost main;
    const CListCtrl& list = main.Window().GetFileListCtrl();
    list.SetRedraw(false);
    for (int row = 0; row < 9998; ++row)
        list.InsertItem(row, "x");
    list.SetRedraw(true);
    RecordingWaitDlg dialog;
    dialog.m_pMainDlg = &main.Window();
    dialog.m_bLoadFiles = TRUE;
    dialog.SetFiles(paths);
    WorkResult result = RunWorkDialog(dialog);
    EXPECT_EQ(result.ending, IDOK);
    EXPECT_EQ(result.text, "Image file number is up to 9999.");
    EXPECT_EQ(rig::RowCount(main.List()), 9999);
    std::vector<ProgressCall> expected = OpeningCalls();
    expected.push_back(SetRange(0, 3));
    expected.push_back(DeltaPos(1));
    expected.push_back(SetPos(3));
    EXPECT_EQ(JoinMoves(result.calls), expected);
}

// Escape stops the load after the current file; the rows so far stay, numbered without gaps.
TEST(LoadFilesJob, EscapeStopsALongLoadAndKeepsTheRowsSoFar)
{
    rig::TempFolder folder;
    ASSERT_EQ(rig::RunHostTool("convert", "-size 8x8 xc:red \"" + folder.File("0.bmp") + "\""), 0);
    std::vector<std::string> paths;
    for (int i = 1; i <= 2000; ++i) {
        paths.push_back(folder.File(std::to_string(i) + ".bmp"));
        ASSERT_TRUE(::CopyFileA(folder.File("0.bmp").c_str(), paths.back().c_str(), FALSE));
    }
    MainWindowHost main;
    RecordingWaitDlg dialog;
    dialog.m_pMainDlg = &main.Window();
    dialog.m_bLoadFiles = TRUE;
    dialog.SetFiles(paths);
    WorkResult result;
    rig::UiThread ui([&] { result.ending = dialog.DoModal(); });
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(main.List()) >= 20; }));
    rig::PressKey(::GetDlgItem(dialog.GetSafeHwnd(), IDCANCEL), VK_ESCAPE);
    ASSERT_TRUE(ui.Join(10000));
    EXPECT_EQ(dialog.GetResultText(), "");
    auto rows = rig::Rows(main.List());
    ASSERT_LT(rows.size(), paths.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        char number[8];
        std::snprintf(number, sizeof(number), "%04zu", i + 1);
        EXPECT_EQ(rows[i][0], number);
        EXPECT_EQ(rows[i][5], paths[i]);
    }
}
