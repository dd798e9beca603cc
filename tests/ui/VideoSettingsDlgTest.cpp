#include "app/Globals.h"
#include "resource.h"
#include "rig/FileDialog.h"
#include "rig/Rig.h"
#include "video/VideoSettingsDlg.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

bool IsChecked(HWND dialog, int id)
{
    return ::SendMessageA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Runs the dialog on a thread of its own with the settings file kept in a test folder.
class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_settings = CIniSettings();
        g_settings.Load(m_folder.Path());
    }

    HWND Open()
    {
        m_ui = std::make_unique<rig::UiThread>([this] { m_result = CVideoSettingsDlg().DoModal(); });
        return rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Make time lapse video");
    }

    std::string IniText() { return rig::ReadFileBytes(m_folder.File("lumvextimelapsevideo.ini")); }

    rig::TempFolder m_folder;
    std::unique_ptr<rig::UiThread> m_ui;
    INT_PTR m_result = 0;
};

} // namespace

TEST_F(SettingsDialogTest, OpensWithTheStoredChoicesAndAnEmptyDestination)
{
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ComboItems(::GetDlgItem(dialog, IDC_VIDEO_SIZE)),
              (std::vector<std::string>{"According to image size", "QCIF 180 x 120", "CIF 360 x 240", "H-D1 720 x 240",
                                        "D1 720 x 480", "720P 1280 x 720", "1080P 1920 x 1080", "4K 3840 x 2160"}));
    EXPECT_EQ(ComboItems(::GetDlgItem(dialog, IDC_VIDEO_TYPE)), (std::vector<std::string>{"MP4", "AVI", "FLV"}));
    std::vector<std::string> rates = ComboItems(::GetDlgItem(dialog, IDC_FRAME_RATE));
    ASSERT_EQ(rates.size(), 50u);
    EXPECT_EQ(rates.front(), "01");
    EXPECT_EQ(rates.back(), "50");
    EXPECT_EQ(rig::ItemText(dialog, IDC_FRAME_RATE), "25");
    EXPECT_EQ(rig::ItemText(dialog, IDC_VIDEO_TYPE), "MP4");
    EXPECT_EQ(rig::ItemText(dialog, IDC_VIDEO_SIZE), "According to image size");
    EXPECT_FALSE(IsChecked(dialog, IDC_SORT_BY_TIME));
    EXPECT_FALSE(IsChecked(dialog, IDC_DEFLICKER));
    EXPECT_EQ(rig::ItemText(dialog, IDC_TEMP_PATH), m_folder.Path() + "temp\\");
    // Tab walks the controls top to bottom, left to right.
    std::vector<int> order;
    for (HWND at = ::GetDlgItem(dialog, IDC_VIDEO_TYPE); order.size() < 12; at = ::GetNextDlgTabItem(dialog, at, FALSE))
        order.push_back(::GetDlgCtrlID(at));
    EXPECT_EQ(order, (std::vector<int>{IDC_VIDEO_TYPE, IDC_FRAME_RATE, IDC_VIDEO_SIZE, IDC_SORT_BY_TIME, IDC_DEFLICKER,
                                       IDC_TEMP_PATH, IDC_BROWSE_TEMP, IDC_DEST_FILE, IDC_BROWSE_DEST, IDOK, IDCANCEL,
                                       IDC_VIDEO_TYPE}));
    EXPECT_EQ(rig::ItemText(dialog, IDC_DEST_FILE), "");
    rig::Click(dialog, IDCANCEL);
    ASSERT_TRUE(m_ui->Join());
    EXPECT_EQ(m_result, IDCANCEL);
    EXPECT_EQ(IniText(), "");
}

TEST_F(SettingsDialogTest, MakeAsksForTheTempPathFirstThenTheDestination)
{
    g_settings.TempPath.clear();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    rig::Click(dialog, IDOK);
    rig::MessageBoxInfo box = rig::WaitForMessageBox(::GetCurrentProcessId());
    EXPECT_EQ(box.text, "Temp path is not selected.");
    EXPECT_EQ(box.caption, "Lumvex Time Lapse Video Tools");
    EXPECT_EQ(box.icon, rig::Icon::Error);
    rig::AnswerMessageBox(box.hwnd, IDOK);

    ::SetDlgItemTextA(dialog, IDC_TEMP_PATH, m_folder.Path().c_str());
    rig::Click(dialog, IDOK);
    box = rig::WaitForMessageBox(::GetCurrentProcessId());
    EXPECT_EQ(box.text, "Destination file is not selected.");
    EXPECT_EQ(box.icon, rig::Icon::Error);
    rig::AnswerMessageBox(box.hwnd, IDOK);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    rig::Click(dialog, IDCANCEL);
    ASSERT_TRUE(m_ui->Join());
}

TEST_F(SettingsDialogTest, DestinationBrowserFollowsTheVideoTypeAndKeepsTheOtherChoices)
{
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ::SendDlgItemMessageA(dialog, IDC_VIDEO_TYPE, CB_SETCURSEL, 1, 0);
    ::SendDlgItemMessageA(dialog, IDC_SORT_BY_TIME, BM_SETCHECK, BST_CHECKED, 0);
    ::SendDlgItemMessageA(dialog, IDC_DEFLICKER, BM_SETCHECK, BST_CHECKED, 0);
    rig::Click(dialog, IDC_BROWSE_DEST);
    HWND save = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Select the destination file");
    ASSERT_TRUE(save);
    EXPECT_EQ(rig::FileTypeText(save), "Video file(*.avi)");
    ASSERT_TRUE(rig::SubmitFileName(save, m_folder.File("clip")));
    ASSERT_TRUE(rig::WaitForWindowGone(save));
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::ItemText(dialog, IDC_DEST_FILE) == m_folder.File("clip.avi"); }))
        << rig::ItemText(dialog, IDC_DEST_FILE);
    EXPECT_TRUE(IsChecked(dialog, IDC_SORT_BY_TIME));
    EXPECT_TRUE(IsChecked(dialog, IDC_DEFLICKER));
    EXPECT_EQ(rig::ItemText(dialog, IDC_VIDEO_TYPE), "AVI");

    // The file chooser adds the extension; a later type change leaves the name alone.
    ::SendDlgItemMessageA(dialog, IDC_VIDEO_TYPE, CB_SETCURSEL, 2, 0);
    ::SendDlgItemMessageA(dialog, IDC_FRAME_RATE, CB_SETCURSEL, 9, 0);
    ::SendDlgItemMessageA(dialog, IDC_VIDEO_SIZE, CB_SETCURSEL, 7, 0);
    rig::Click(dialog, IDOK);
    ASSERT_TRUE(m_ui->Join());
    EXPECT_EQ(m_result, IDOK);
    EXPECT_EQ(g_settings.DestinationFile, m_folder.File("clip.avi"));
    EXPECT_EQ(g_settings.VideoType, 3);
    EXPECT_EQ(g_settings.FrameRate, 10);
    EXPECT_EQ(g_settings.VideoSize, 8);
    EXPECT_EQ(g_settings.SortByTime, 1);
    EXPECT_EQ(g_settings.Deflicker, 1);
    std::string ini = IniText();
    EXPECT_NE(ini.find("VideoType=3"), std::string::npos) << ini;
    EXPECT_NE(ini.find("FrameRate=10"), std::string::npos) << ini;
    EXPECT_NE(ini.find("VideoSize=8\r\nSortByTime=1\r\nDeflicker=1"), std::string::npos) << ini;
    EXPECT_NE(ini.find("TempPath=" + m_folder.Path() + "temp\\"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("clip.avi"), std::string::npos) << ini;
}

TEST_F(SettingsDialogTest, ExistingDestinationNoKeepsTheDialogYesStoresAndCloses)
{
    std::string destination = m_folder.File("old.mp4");
    ASSERT_TRUE(rig::WriteFileBytes(destination, "old"));
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ::SetDlgItemTextA(dialog, IDC_DEST_FILE, destination.c_str());
    ::SendDlgItemMessageA(dialog, IDC_FRAME_RATE, CB_SETCURSEL, 4, 0);
    rig::Click(dialog, IDOK);
    rig::MessageBoxInfo box = rig::WaitForMessageBox(::GetCurrentProcessId());
    EXPECT_EQ(box.text, "Destination file already exists.\nDo you want to replace it?");
    EXPECT_EQ(box.icon, rig::Icon::Exclamation);
    EXPECT_EQ(box.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    rig::AnswerMessageBox(box.hwnd, IDNO);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(g_settings.FrameRate, 25);
    EXPECT_EQ(rig::ItemText(dialog, IDC_FRAME_RATE), "05");

    rig::Click(dialog, IDOK);
    box = rig::WaitForMessageBox(::GetCurrentProcessId());
    rig::AnswerMessageBox(box.hwnd, IDYES);
    ASSERT_TRUE(m_ui->Join());
    EXPECT_EQ(m_result, IDOK);
    EXPECT_EQ(g_settings.FrameRate, 5);
    EXPECT_EQ(g_settings.DestinationFile, destination);
    EXPECT_EQ(rig::ReadFileBytes(destination), "old");
}

TEST_F(SettingsDialogTest, UnwritableSettingsFileStillKeepsTheChoicesForThisRun)
{
    // A folder in the settings file's place cannot be written, even by an administrator.
    std::string ini = m_folder.File("lumvextimelapsevideo.ini");
    ASSERT_TRUE(::CreateDirectoryA(ini.c_str(), nullptr));
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ::SetDlgItemTextA(dialog, IDC_DEST_FILE, m_folder.File("new.mp4").c_str());
    ::SendDlgItemMessageA(dialog, IDC_FRAME_RATE, CB_SETCURSEL, 29, 0);
    rig::Click(dialog, IDOK);
    ASSERT_TRUE(m_ui->Join());
    EXPECT_EQ(m_result, IDOK);
    EXPECT_EQ(g_settings.FrameRate, 30);
    EXPECT_EQ(g_settings.DestinationFile, m_folder.File("new.mp4"));
    EXPECT_NE(::GetFileAttributesA(ini.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(SettingsDialogTest, FolderBrowserOpensOnTheTempPathAndAddsTheBackslash)
{
    std::string chosen = m_folder.File("frames");
    ASSERT_TRUE(::CreateDirectoryA(chosen.c_str(), nullptr));
    g_settings.TempPath = chosen + "\\";
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    // Wine's browser now and then comes up before its tree can take the selection, with
    // nothing selected; a second opening shows whether the dialog asked for the folder.
    HWND browser = nullptr;
    std::string selected;
    for (int attempt = 0; attempt < 2 && selected != "frames"; ++attempt) {
        if (browser) {
            rig::Click(browser, IDCANCEL);
            ASSERT_TRUE(rig::WaitForWindowGone(browser));
        }
        rig::Click(dialog, IDC_BROWSE_TEMP);
        browser = rig::WaitForNewDialog(::GetCurrentProcessId(), {dialog});
        ASSERT_TRUE(browser);
        HWND tree = nullptr;
        ASSERT_TRUE(rig::WaitUntil([&] { return (tree = ::FindWindowExA(browser, nullptr, "SysTreeView32", nullptr)) != nullptr; }));
        rig::WaitUntil([&] {
            auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
            char text[MAX_PATH] = {};
            TVITEMA info{};
            info.mask = TVIF_TEXT;
            info.hItem = item;
            info.pszText = text;
            info.cchTextMax = MAX_PATH;
            ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
            selected = text;
            return selected == "frames";
        }, 10000);
    }
    EXPECT_EQ(selected, "frames");
    rig::Click(browser, IDOK);
    ASSERT_TRUE(rig::WaitForWindowGone(browser));
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::ItemText(dialog, IDC_TEMP_PATH) == chosen + "\\"; }))
        << rig::ItemText(dialog, IDC_TEMP_PATH);
    rig::Click(dialog, IDCANCEL);
    ASSERT_TRUE(m_ui->Join());
    EXPECT_EQ(g_settings.TempPath, chosen + "\\");
}
