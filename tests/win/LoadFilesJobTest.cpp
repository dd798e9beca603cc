#include "RecordedReport.h"

#include "filelist/ImageListDlg.h"
#include "resource.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/LoadFilesJob.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The main window on a user-interface thread of its own; the test thread plays the job's.
class MainWindow {
public:
    MainWindow() : m_ui([this] { m_dialog.DoModal(); })
    {
        rig::WaitUntil([this] { return m_dialog.GetSafeHwnd() && ::IsWindowVisible(m_dialog.GetSafeHwnd()); });
    }
    // The window itself only ends after asking; end its modal run directly.
    ~MainWindow()
    {
        ::EndDialog(m_dialog.GetSafeHwnd(), IDOK);
        m_ui.Join(3000);
    }
    CImageListDlg& Dialog() { return m_dialog; }
    HWND List() const { return m_dialog.GetFileListCtrl().GetSafeHwnd(); }

private:
    CImageListDlg m_dialog;
    rig::UiThread m_ui;
};

} // namespace

// A stop keeps the rows so far, numbered without gaps; the row limit ends the job with a
// notice.
TEST(LoadFilesJob, AStopKeepsTheRowsSoFarAndTheRowLimitStopsWithANotice)
{
    MainWindow main;
    std::vector<std::string> paths;
    for (int i = 0; i < 300; ++i)
        paths.push_back(fixtures::Path(i % 2 ? "bmp24.bmp" : "red.png"));
    RecordedReport report;
    report.stopFrom = 20;
    EXPECT_EQ(RunLoadFilesJob(main.Dialog(), paths, report).textId, 0u);
    auto rows = rig::Rows(main.List());
    ASSERT_EQ(rows.size(), 20u);
    for (size_t i = 0; i < rows.size(); ++i) {
        char number[8];
        std::snprintf(number, sizeof(number), "%04zu", i + 1);
        EXPECT_EQ(rows[i][0], number);
        EXPECT_EQ(rows[i][5], paths[i]);
    }
    EXPECT_EQ(report.calls, "range300 +20 pos300 ");

    const CListCtrl& list = main.Dialog().GetFileListCtrl();
    list.SetRedraw(false);
    for (int row = 20; row < 9998; ++row)
        list.InsertItem(row, "x");
    list.SetRedraw(true);
    RecordedReport limited;
    EXPECT_EQ(RunLoadFilesJob(main.Dialog(), {paths[1], paths[1], paths[1]}, limited).textId, IDS_FILE_LIMIT);
    EXPECT_EQ(rig::RowCount(main.List()), 9999);
    EXPECT_EQ(limited.calls, "range3 +1 pos3 ");
}
