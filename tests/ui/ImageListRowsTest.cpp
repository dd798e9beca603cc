#include "filelist/AddImageFiles.h"
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

TEST(ImageListRows, ManyFilesKeepTheirOrderAndTextsAcrossBatches)
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
    struct Expected {
        std::string path, name, type, dimensions;
    };
    const Expected files[] = {{jpg, "holiday.jpg", "JPG", "1920 X 1080"}, {png, "scan.jpg", "PNG", "640 X 480"},
                              {text, "notes.gif", "Others", "0 X 0"}, {folder.File("deleted.bmp"), "", "", ""}};

    // More paths than one message carries, in an order no batch lines up with.
    std::vector<std::string> paths;
    std::vector<const Expected*> rowsWanted;
    for (int i = 0; i < 300; ++i) {
        const Expected& file = files[(i + i / 7) % 4];
        paths.push_back(file.path);
        if (!file.name.empty())
            rowsWanted.push_back(&file);
    }
    MainWindow window;
    ASSERT_TRUE(window.List());
    window.Dialog().AddImageFile(jpg);
    int taken = 0;
    EXPECT_TRUE(AddImageFiles(window.Dialog(), paths, [&](int count) { taken += count; }, [] { return false; }));
    EXPECT_EQ(taken, 300);
    rowsWanted.insert(rowsWanted.begin(), &files[0]);

    auto rows = rig::Rows(window.List());
    ASSERT_EQ(rows.size(), rowsWanted.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const Expected& want = *rowsWanted[i];
        EXPECT_EQ(rows[i], (std::vector<std::string>{FormatRowNumber(static_cast<int>(i) + 1), want.name, want.type,
                                                     want.dimensions, rows[i][4], want.path}));
        EXPECT_NE(ParseCreatedTime(rows[i][4]), 0) << rows[i][4];
    }

    // The snapshot the video job takes reads the same cells back, in row order.
    ImageFileList records;
    window.Dialog().CollectImageFiles(records);
    ASSERT_EQ(records.GetCount(), static_cast<int>(rows.size()));
    for (int i = 0; i < records.GetCount(); ++i) {
        ImageFileInfo record = records.GetAt(i);
        EXPECT_EQ(record.fileName, rows[i][1]);
        EXPECT_EQ(record.typeText, rows[i][2]);
        EXPECT_EQ(record.createdTime, ParseCreatedTime(rows[i][4]));
        EXPECT_EQ(record.filePath, rows[i][5]);
    }
}
