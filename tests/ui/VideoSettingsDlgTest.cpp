// The settings dialog on a thread of its own, with the settings file kept in a test folder:
// what it asks, where its choosers open, and what it stores.
#include "app/Globals.h"
#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "video/dialogs/VideoSettingsDlg.h"

#include <gtest/gtest.h>

namespace {

// The folder the browser's tree shows selected.
std::string TreeSelection(HWND tree)
{
    char selected[MAX_PATH] = {};
    TVITEMA item{TVIF_TEXT, TreeView_GetSelection(tree), 0, 0, selected, MAX_PATH, 0, 0, 0, 0};
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return selected;
}

} // namespace

TEST(SettingsDialog, AsksForMissingPathsOpensItsChoosersOnTheChoicesAndStoresThem)
{
    rig::TempFolder folder;
    g_settings = CIniSettings();
    g_settings.Load(folder.Path());
    const std::string chosen = folder.File("frames");
    ASSERT_TRUE(::CreateDirectoryA(chosen.c_str(), nullptr));
    INT_PTR result = 0;
    rig::UiThread ui([&] {
        CVideoSettingsDlg settings;
        settings.m_photoCount = 100;
        result = settings.DoModal();
    });
    HWND dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Make time lapse video");
    ASSERT_TRUE(dialog);

    // Tab goes down the dialog as it reads.
    std::vector<int> tabOrder{IDC_VIDEO_TYPE};
    for (HWND c = ::GetDlgItem(dialog, IDC_VIDEO_TYPE); tabOrder.size() < 20 && tabOrder.back() != IDCANCEL;)
        tabOrder.push_back(::GetDlgCtrlID(c = ::GetNextDlgTabItem(dialog, c, FALSE)));
    EXPECT_EQ(tabOrder, (std::vector<int>{IDC_VIDEO_TYPE, IDC_FRAME_RATE, IDC_VIDEO_SIZE, IDC_FRAMING, IDC_QUALITY,
                                          IDC_STAMP, IDC_SORT_BY_TIME, IDC_DEFLICKER, IDC_EVERY_NTH, IDC_TEMP_PATH,
                                          IDC_BROWSE_TEMP, IDC_DEST_FILE, IDC_BROWSE_DEST, IDC_PREVIEW, IDOK, IDCANCEL}));

    // What the video will be follows every N-th photo and the frame rate as they change; a
    // number out of range is held in it.
    EXPECT_EQ(rig::ItemText(dialog, IDC_VIDEO_SUMMARY), "100 photos, 100 frames, 4 s at 25 fps");
    for (const auto& [typed, line] : {std::pair{"500", "100 photos, 1 frame, 0.04 s at 25 fps"},
                                      {"0", "100 photos, 100 frames, 4 s at 25 fps"},
                                      {"3", "100 photos, 34 frames, 1.36 s at 25 fps"}}) {
        ::SetDlgItemTextA(dialog, IDC_EVERY_NTH, typed);
        EXPECT_EQ(rig::ItemText(dialog, IDC_VIDEO_SUMMARY), line);
    }
    ::SendDlgItemMessageA(dialog, IDC_FRAME_RATE, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(rig::ItemText(dialog, IDC_VIDEO_SUMMARY), "100 photos, 34 frames, 34 s at 1 fps");
    ::SendDlgItemMessageA(dialog, IDC_EVERY_NTH_SPIN, WM_KEYDOWN, VK_DOWN, 0);

    ::SetDlgItemTextA(dialog, IDC_TEMP_PATH, "");
    for (const char* missing : {"Temp path is not selected.", "Destination file is not selected."}) {
        rig::Click(dialog, IDOK);
        EXPECT_EQ(rig::AnswerMessageBox(IDOK), missing);
        ::SetDlgItemTextA(dialog, IDC_TEMP_PATH, "C:\\");
    }

    // The choices made so far survive the choosers. Wine's folder browser now and then comes
    // up before its tree can take the selection; a second opening shows whether it was asked.
    for (int box : {IDC_SORT_BY_TIME, IDC_DEFLICKER})
        ::CheckDlgButton(dialog, box, BST_CHECKED);
    ::SetDlgItemTextA(dialog, IDC_TEMP_PATH, (chosen + "\\").c_str());
    std::string selected;
    for (int attempt = 0; attempt < 2 && selected != "frames"; ++attempt) {
        rig::Click(dialog, IDC_BROWSE_TEMP);
        HWND browser = nullptr, tree = nullptr;
        ASSERT_TRUE(rig::WaitUntil([&] {
            browser = rig::FindTopLevel(::GetCurrentProcessId(), "#32770", "", {dialog});
            return (tree = ::FindWindowExA(browser, nullptr, "SysTreeView32", nullptr)) != nullptr;
        }));
        rig::WaitUntil([&] { return (selected = TreeSelection(tree)) == "frames"; }, 10000);
        rig::Click(browser, selected == "frames" ? IDOK : IDCANCEL);
        ASSERT_TRUE(rig::WaitForWindowGone(browser));
    }
    EXPECT_EQ(selected, "frames");

    // The file chooser follows the video type and adds its extension.
    ::SendDlgItemMessageA(dialog, IDC_VIDEO_TYPE, CB_SETCURSEL, 1, 0);
    rig::Click(dialog, IDC_BROWSE_DEST);
    HWND save = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Select the destination file");
    ASSERT_TRUE(save);
    EXPECT_EQ(rig::ItemText(save, 1136), "Video file(*.avi)") << "the file-type box";
    ASSERT_TRUE(rig::SubmitFileName(save, folder.File("clip")));
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::ItemText(dialog, IDC_DEST_FILE) == folder.File("clip.avi"); }));
    ::SendDlgItemMessageA(dialog, IDC_FRAME_RATE, CB_SETCURSEL, 9, 0);
    ::SendDlgItemMessageA(dialog, IDC_VIDEO_SIZE, CB_SETCURSEL, 7, 0);
    ::SendDlgItemMessageA(dialog, IDC_FRAMING, CB_SETCURSEL, 2, 0);
    ::SendDlgItemMessageA(dialog, IDC_QUALITY, CB_SETCURSEL, 2, 0);
    ::SendDlgItemMessageA(dialog, IDC_STAMP, CB_SETCURSEL, 2, 0);
    rig::Click(dialog, IDOK);
    ASSERT_TRUE(ui.Join());
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(g_settings.DestinationFile, folder.File("clip.avi"));
    EXPECT_EQ(rig::ReadFileBytes(folder.File("lumvextimelapsevideo.ini")),
              "[VIDEO]\r\nTempPath=" + chosen + "\\\r\nVideoType=2\r\nFrameRate=10\r\nVideoSize=8\r\n"
              "SortByTime=1\r\nDeflicker=1\r\nFraming=3\r\nStamp=2\r\nEveryNth=2\r\nQuality=3\r\n");
}

// A program whose folder cannot be written (a volume mounted read-only, which stops root too)
// says so at the first confirmed settings of a run, naming the folder, and not again; the
// video is still asked for.
TEST(SettingsDialog, SettingsThatCannotBeKeptAreSaidOnceARunWithTheFolder)
{
    rig::TempFolder folder;
    rig::SmallVolume volume(folder.File("program"), "1m");
    if (!volume.Mounted())
        GTEST_SKIP() << "mounting a volume needs root";
    ASSERT_TRUE(volume.MakeReadOnly());
    g_settings = CIniSettings();
    g_settings.Load(folder.File("program\\"));
    for (const std::string& told : {"The settings cannot be saved in the program's folder, so they are kept only until the "
                                   "program closes.\n(" + folder.File("program\\") + ")",
                                   std::string()}) {
        INT_PTR result = 0;
        rig::UiThread ui([&] { result = CVideoSettingsDlg().DoModal(); });
        HWND dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Make time lapse video");
        ASSERT_TRUE(dialog);
        ::SetDlgItemTextA(dialog, IDC_DEST_FILE, folder.File("clip.mp4").c_str());
        rig::Click(dialog, IDOK);
        if (!told.empty()) {
            EXPECT_EQ(rig::AnswerMessageBox(IDOK), told);
        }
        ASSERT_TRUE(ui.Join());
        EXPECT_EQ(result, IDOK);
    }
}
