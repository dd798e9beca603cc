#include "resource.h"
#include "rig/Rig.h"
#include "video/WaitDlg.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

TEST(WorkDialogAnimation, BusyIndicatorPlaysInItsControlWhileTheJobRuns)
{
    CWaitDlg dialog;  // no job selected: it closes itself after five seconds
    INT_PTR ending = 0;
    rig::UiThread ui([&] { ending = dialog.DoModal(); });
    HWND hwnd = nullptr;
    ASSERT_TRUE(rig::WaitUntil([&] { return (hwnd = dialog.GetSafeHwnd()) != nullptr && ::IsWindowVisible(hwnd); }));
    RECT rect;
    ::GetWindowRect(::GetDlgItem(hwnd, IDC_WAIT_ANIMATION), &rect);
    EXPECT_EQ(rect.right - rect.left, 32);
    EXPECT_EQ(rect.bottom - rect.top, 32);

    std::set<std::vector<COLORREF>> shown;
    bool blackFrame = false;
    EXPECT_TRUE(rig::WaitUntil([&] {
        std::vector<COLORREF> pixels = rig::ScreenPixels(rect);
        blackFrame = blackFrame || pixels[16 * 32] == RGB(0, 0, 0);
        shown.insert(pixels);
        return shown.size() >= 3;
    }, 3000));
    EXPECT_FALSE(blackFrame) << "the control's own frame is not drawn";
    ASSERT_TRUE(ui.Join(15000));
    EXPECT_EQ(ending, IDOK);
}
