#include "framework/Text.h"
#include "resource.h"
#include "rig/Rig.h"
#include "video/dialogs/WaitDlg.h"

#include <gtest/gtest.h>

#include <set>

// With no job the dialog ignores Enter, Escape and closing, plays its busy indicator, and
// ends itself as OK after five seconds.
TEST(WaitDlg, WithoutAJobIgnoresTheKeysPlaysTheIndicatorAndClosesAsOkAfterFiveSeconds)
{
    CWaitDlg dialog;
    INT_PTR ending = 0;
    DWORD started = ::GetTickCount();
    rig::UiThread ui([&] { ending = dialog.DoModal(); });
    HWND hwnd = nullptr;
    ASSERT_TRUE(rig::WaitUntil([&] { return (hwnd = dialog.GetSafeHwnd()) != nullptr && ::IsWindowVisible(hwnd); }));
    ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
    rig::PressKey(hwnd, VK_ESCAPE);
    rig::PressKey(hwnd, VK_RETURN);
    ASSERT_TRUE(rig::WaitForPostedMessages(hwnd));
    EXPECT_TRUE(::IsWindowVisible(hwnd));

    // Its 32 x 32 size is the DPI test's.
    HWND control = ::GetDlgItem(hwnd, IDC_WAIT_ANIMATION);
    std::set<std::vector<COLORREF>> shown;
    rig::WaitUntil([&] {
        if (!::IsWindowVisible(hwnd))
            return true;
        std::vector<COLORREF> pixels = rig::WindowPixels(control);
        // Before its first paint Wine reads the control as all black; its middle is transparent.
        if (pixels[16 * 32 + 16] == RGB(0, 0, 0))
            return false;
        shown.insert(pixels);
        return shown.size() >= 3;
    });
    EXPECT_GE(shown.size(), 3u) << "frames seen before the dialog closed itself";
    ASSERT_TRUE(ui.Join(15000));
    EXPECT_GE(::GetTickCount() - started, 4900u);
    EXPECT_EQ(ending, IDOK);
    EXPECT_EQ(dialog.GetResultText(), "");
}

namespace {

// A work dialog whose job the test's thread plays.
class PlayedWaitDlg : public CWaitDlg {
public:
    CJobReport& Report() { return *this; }

protected:
    bool StartJob(fw::ThreadProc) override { return true; }
};

} // namespace

// Under the bar the dialog counts in the locale's digits, and tells the time left once the
// encoder's pace is steady; the result text takes its argument literally, and is left
// unformatted without one.
TEST(WaitDlg, CountsTheJobTellsTheTimeLeftAndNamesTheResultsArgumentLiterally)
{
    PlayedWaitDlg dialog;
    rig::UiThread ui([&] { dialog.DoModal(); });
    HWND hwnd = nullptr;
    ASSERT_TRUE(rig::WaitUntil([&] { return (hwnd = dialog.GetSafeHwnd()) != nullptr && ::IsWindowVisible(hwnd); }));
    wchar_t separator[8] = {};
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    std::string thousands = fw::FromWide(separator, static_cast<int>(wcslen(separator)));
    auto line = [&] { return rig::ItemText(hwnd, IDC_WAIT_COUNT); };

    dialog.Report().SetCount({JobPhase::ListingFiles, 1234, 5000});
    EXPECT_TRUE(rig::WaitUntil([&] { return line() == "File 1" + thousands + "234 of 5" + thousands + "000"; })) << line();

    // Ten frames a second of 5,000 leave eight minutes and a bit.
    DWORD start = ::GetTickCount();
    std::string told = " of 5" + thousands + "000 \xE2\x80\x94 about 8 minutes left";
    EXPECT_TRUE(rig::WaitUntil([&] {
        dialog.Report().SetCount({JobPhase::EncodingFrames, static_cast<int>(::GetTickCount() - start) / 100, 5000});
        std::string shown = line();
        return shown.rfind("Frame ", 0) == 0 && shown.find(told) + told.size() == shown.size();
    })) << line();
    ::PostMessageA(hwnd, WM_WORK_CLOSE_OK, 0, 0);
    ASSERT_TRUE(ui.Join());
    dialog.SetResult(IDS_MISSING_FILE, "50%s d\\");
    EXPECT_EQ(dialog.GetResultText(), "Missing file.\n(50%s d\\)");
    dialog.SetResult(IDS_MISSING_FILE, "");
    EXPECT_EQ(dialog.GetResultText(), "Missing file.\n(%s)");
}
