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
    HWND control = ::GetDlgItem(hwnd, IDC_WAIT_ANIMATION);
    RECT rect;
    ::GetWindowRect(control, &rect);
    EXPECT_EQ(rect.right - rect.left, 32);
    EXPECT_EQ(rect.bottom - rect.top, 32);

    std::set<std::vector<COLORREF>> shown;
    bool blackFrame = false;
    rig::WaitUntil([&] {
        if (!::IsWindowVisible(hwnd))
            return true;
        std::vector<COLORREF> pixels = rig::WindowPixels(control);
        // Before its first paint Wine reads the control as all black; its middle is transparent.
        if (pixels[16 * 32 + 16] == RGB(0, 0, 0))
            return false;
        blackFrame = blackFrame || pixels[16 * 32] == RGB(0, 0, 0);
        shown.insert(pixels);
        return shown.size() >= 3;
    });
    EXPECT_GE(shown.size(), 3u) << "frames seen before the dialog closed itself";
    EXPECT_FALSE(blackFrame) << "the control's own frame is not drawn";
    ASSERT_TRUE(ui.Join(15000));
    EXPECT_EQ(ending, IDOK);
}
