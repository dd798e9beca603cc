#include "filelist/ImageFileList.h"
#include "filelist/ImageListDlg.h"
#include "filelist/RowText.h"
#include "rig/Rig.h"
#include "tests/fixtures/ImageBytes.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

// The main window on a user-interface thread of its own; the test thread plays the
// load-files job, whose every list operation is a message to that thread.
class MainWindow {
public:
    MainWindow()
        : m_ui([this] { m_dialog.DoModal(); })
    {
        rig::WaitUntil([this] { return m_dialog.GetSafeHwnd() && ::IsWindowVisible(m_dialog.GetSafeHwnd()); });
    }
    ~MainWindow()
    {
        if (HWND hwnd = m_dialog.GetSafeHwnd()) {
            ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
            rig::MessageBoxInfo box = rig::WaitForMessageBox(::GetCurrentProcessId());
            if (box.hwnd)
                rig::AnswerMessageBox(box.hwnd, IDYES);
        }
        m_ui.Join();
    }
    CImageListDlg& Dialog() { return m_dialog; }
    HWND List() const { return m_dialog.GetFileListCtrl().GetSafeHwnd(); }

private:
    CImageListDlg m_dialog;
    rig::UiThread m_ui;
};

} // namespace

TEST(ImageListRows, AddImageFileAppendsNumberedRowsThatReadBack)
{
    rig::TempFolder folder;
    std::string jpg = folder.File("holiday.jpg");
    std::string png = folder.File("scan.jpg");  // a PNG under a JPEG name
    std::string text = folder.File("notes.gif");
    rig::WriteFileBytes(jpg, MakeJpeg({1920, 1080}));
    PngOptions o;
    o.width = 640;
    o.height = 480;
    rig::WriteFileBytes(png, MakePng(o));
    rig::WriteFileBytes(text, "not a picture");

    MainWindow window;
    ASSERT_TRUE(window.List());
    for (const std::string& path : {jpg, png, folder.File("deleted.bmp"), text, jpg})
        window.Dialog().AddImageFile(path);

    auto rows = rig::Rows(window.List());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"0001", "holiday.jpg", "JPG", "1920 X 1080", rows[0][4], jpg}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"0002", "scan.jpg", "PNG", "640 X 480", rows[1][4], png}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"0003", "notes.gif", "Others", "0 X 0", rows[2][4], text}));
    EXPECT_EQ(rows[3][0], "0004");
    EXPECT_EQ(rows[3][5], jpg);
    for (const auto& row : rows)
        EXPECT_NE(ParseCreatedTime(row[4]), 0) << row[4];

    // The snapshot the video job takes reads the same cells back, in row order.
    ImageFileList records;
    window.Dialog().CollectImageFiles(records);
    ASSERT_EQ(records.GetCount(), 4);
    for (int i = 0; i < 4; ++i) {
        ImageFileInfo record = records.GetAt(i);
        EXPECT_EQ(record.fileName, rows[i][1]);
        EXPECT_EQ(record.typeText, rows[i][2]);
        EXPECT_EQ(record.createdTime, ParseCreatedTime(rows[i][4]));
        EXPECT_EQ(record.filePath, rows[i][5]);
    }
}
