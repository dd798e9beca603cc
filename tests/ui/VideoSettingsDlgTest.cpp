// The settings dialog on a thread of its own, with the settings file kept in a test folder:
// what it opens with, what it asks, and what it stores.
#include "app/Globals.h"
#include "resource.h"
#include "rig/FileDialog.h"
#include "rig/Rig.h"
#include "video/VideoSettingsDlg.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> ComboItems(HWND dialog, int id)
{
    std::vector<std::string> items;
    for (int i = 0; i < ::SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0); ++i) {
        char text[256] = {};
        ::SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

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
    rig::TempFolder m_folder;
    std::unique_ptr<rig::UiThread> m_ui;
    INT_PTR m_result = 0;
};

} // namespace

TEST_F(SettingsDialogTest, OpensWithTheStoredChoicesAsksForMissingPathsAndStoresTheNewChoices)
{
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ComboItems(dialog, IDC_VIDEO_SIZE),
              (std::vector<std::string>{"According to image size", "QCIF 180 x 120", "CIF 360 x 240", "H-D1 720 x 240",
                                        "D1 720 x 480", "720P 1280 x 720", "1080P 1920 x 1080", "4K 3840 x 2160"}));
    EXPECT_EQ(ComboItems(dialog, IDC_VIDEO_TYPE), (std::vector<std::string>{"MP4", "AVI", "FLV"}));
    std::vector<std::string> rates = ComboItems(dialog, IDC_FRAME_RATE);
    ASSERT_EQ(rates.size(), 50u);
    EXPECT_EQ(rates.front() + rates.back(), "0150");
    EXPECT_EQ(rig::ItemText(dialog, IDC_FRAME_RATE) + rig::ItemText(dialog, IDC_VIDEO_TYPE), "25MP4");
    EXPECT_EQ(rig::ItemText(dialog, IDC_VIDEO_SIZE), "According to image size");
    EXPECT_EQ(rig::ItemText(dialog, IDC_FRAMING), "Fit inside, black bars");
    EXPECT_EQ(rig::ItemText(dialog, IDC_TEMP_PATH), m_folder.Path() + "temp\\");
    EXPECT_EQ(rig::ItemText(dialog, IDC_DEST_FILE), "");
    for (int box : {IDC_SORT_BY_TIME, IDC_DEFLICKER})
        EXPECT_EQ(::IsDlgButtonChecked(dialog, box), BST_UNCHECKED) << box;
    // Tab walks the controls top to bottom, left to right.
    std::vector<int> order;
    for (HWND at = ::GetDlgItem(dialog, IDC_VIDEO_TYPE); order.size() < 13; at = ::GetNextDlgTabItem(dialog, at, FALSE))
        order.push_back(::GetDlgCtrlID(at));
    EXPECT_EQ(order, (std::vector<int>{IDC_VIDEO_TYPE, IDC_FRAME_RATE, IDC_VIDEO_SIZE, IDC_FRAMING, IDC_SORT_BY_TIME,
                                       IDC_DEFLICKER, IDC_TEMP_PATH, IDC_BROWSE_TEMP, IDC_DEST_FILE, IDC_BROWSE_DEST, IDOK,
                                       IDCANCEL, IDC_VIDEO_TYPE}));

    ::SetDlgItemTextA(dialog, IDC_TEMP_PATH, "");
    for (const char* missing : {"Temp path is not selected.", "Destination file is not selected."}) {
        rig::Click(dialog, IDOK);
        rig::MessageBoxInfo box = rig::WaitForMessageBox(::GetCurrentProcessId());
        EXPECT_EQ(box.text, missing);
        EXPECT_EQ(box.caption, "Lumvex Time Lapse Video Tools");
        EXPECT_EQ(box.icon, rig::Icon::Error);
        rig::AnswerMessageBox(box.hwnd, IDOK);
        ::SetDlgItemTextA(dialog, IDC_TEMP_PATH, (m_folder.Path() + "temp\\").c_str());
    }

    // The file chooser follows the video type and adds its extension; a later type change
    // leaves the name alone.
    ::SendDlgItemMessageA(dialog, IDC_VIDEO_TYPE, CB_SETCURSEL, 1, 0);
    for (int box : {IDC_SORT_BY_TIME, IDC_DEFLICKER})
        ::CheckDlgButton(dialog, box, BST_CHECKED);
    rig::Click(dialog, IDC_BROWSE_DEST);
    HWND save = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Select the destination file");
    ASSERT_TRUE(save);
    EXPECT_EQ(rig::ItemText(save, 1136), "Video file(*.avi)") << "the file-type box";
    ASSERT_TRUE(rig::SubmitFileName(save, m_folder.File("clip")));
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::ItemText(dialog, IDC_DEST_FILE) == m_folder.File("clip.avi"); }));
    for (int box : {IDC_SORT_BY_TIME, IDC_DEFLICKER})
        EXPECT_EQ(::IsDlgButtonChecked(dialog, box), BST_CHECKED) << box;
    ::SendDlgItemMessageA(dialog, IDC_VIDEO_TYPE, CB_SETCURSEL, 2, 0);
    ::SendDlgItemMessageA(dialog, IDC_FRAME_RATE, CB_SETCURSEL, 9, 0);
    ::SendDlgItemMessageA(dialog, IDC_VIDEO_SIZE, CB_SETCURSEL, 7, 0);
    ::SendDlgItemMessageA(dialog, IDC_FRAMING, CB_SETCURSEL, 2, 0);
    rig::Click(dialog, IDOK);
    ASSERT_TRUE(m_ui->Join());
    EXPECT_EQ(m_result, IDOK);
    EXPECT_EQ(g_settings.DestinationFile, m_folder.File("clip.avi"));
    EXPECT_EQ(rig::ReadFileBytes(m_folder.File("lumvextimelapsevideo.ini")),
              "[VIDEO]\r\nTempPath=" + m_folder.Path() + "temp\\\r\nVideoType=3\r\nFrameRate=10\r\nVideoSize=8\r\n"
              "SortByTime=1\r\nDeflicker=1\r\nFraming=3\r\n");
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
    char selected[MAX_PATH] = {};
    for (int attempt = 0; attempt < 2 && std::string(selected) != "frames"; ++attempt) {
        if (browser) {
            rig::Click(browser, IDCANCEL);
            ASSERT_TRUE(rig::WaitForWindowGone(browser));
        }
        rig::Click(dialog, IDC_BROWSE_TEMP);
        HWND tree = nullptr;
        ASSERT_TRUE(rig::WaitUntil([&] {
            browser = rig::FindTopLevel(::GetCurrentProcessId(), "#32770", "", {dialog});
            return (tree = ::FindWindowExA(browser, nullptr, "SysTreeView32", nullptr)) != nullptr;
        }));
        rig::WaitUntil([&] {
            TVITEMA item{};
            item.mask = TVIF_TEXT;
            item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
            item.pszText = selected;
            item.cchTextMax = MAX_PATH;
            ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            return std::string(selected) == "frames";
        }, 10000);
    }
    EXPECT_STREQ(selected, "frames");
    rig::Click(browser, IDOK);
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::ItemText(dialog, IDC_TEMP_PATH) == chosen + "\\"; }));
    rig::Click(dialog, IDCANCEL);
    ASSERT_TRUE(m_ui->Join());
    EXPECT_EQ(g_settings.TempPath, chosen + "\\");
}
