// Every dialog at the display's DPI: what is sized in pixels follows it, no text is clipped,
// and a move to a screen of another scale re-lays the main window out. The suite runs at
// 96 dpi; tools/wine-at-dpi.sh runs these tests again at 144 and 192, and with
// LUMVEX_SCREENSHOTS set they leave a screenshot of each dialog beside the executable.
#include "filelist/ImageListDlg.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "links/AboutDlg.h"
#include "preview/ImagePreviewDlg.h"
#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/VideoSettingsDlg.h"
#include "video/WaitDlg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>

namespace {

int ExpectedDpi()
{
    const char* dpi = std::getenv("LUMVEX_EXPECTED_DPI");
    return dpi ? std::atoi(dpi) : 96;
}

int Scaled(int pixels)
{
    return ::MulDiv(pixels, ExpectedDpi(), 96);
}

SIZE WindowSize(HWND hwnd)
{
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The room a label's text needs in the control's own font, laid out as the control does.
RECT TextNeeds(HWND control, LONG style, int width)
{
    fw::WindowDC dc(control);
    fw::ScopedSelect font(dc.get(), reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needs{0, 0, width, 0};
    UINT format = DT_CALCRECT | DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    ::DrawTextA(dc.get(), rig::Text(control).c_str(), -1, &needs, format);
    return needs;
}

// Every control lies inside the dialog and every label's text fits its control.
void ExpectNothingClipped(HWND dialog)
{
    RECT client;
    ::GetClientRect(dialog, &client);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child))
            continue;
        SCOPED_TRACE(rig::ClassName(child) + " \"" + rig::Text(child) + "\"");
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom);
        LONG style = ::GetWindowLongA(child, GWL_STYLE);
        bool label = rig::ClassName(child) == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
        bool checkBox = rig::ClassName(child) == "Button" && ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX || (style & BS_TYPEMASK) == BS_CHECKBOX);
        if (!label && !checkBox)
            continue;
        int width = rect.right - rect.left - (checkBox ? ::GetSystemMetrics(SM_CXMENUCHECK) + 3 : 0);
        RECT needs = TextNeeds(child, style, width);
        EXPECT_LE(needs.right, width);
        EXPECT_LE(needs.bottom, rect.bottom - rect.top);
    }
}

void SaveScreenshotOnRequest(const std::string& name)
{
    if (std::getenv("LUMVEX_SCREENSHOTS"))
        rig::SaveScreenshot(rig::ExecutableDirectory() + name + "_" + std::to_string(ExpectedDpi()) + "dpi.png");
}

// A work dialog with no job behind it: it stays up until it is told the job is done.
class IdleWaitDlg : public CWaitDlg {
protected:
    bool StartJob(fw::ThreadProc) override { return true; }
};

struct DialogCase {
    const char* name;
    std::function<INT_PTR()> run;
    std::function<void(HWND)> check;
    std::function<void(HWND)> close;  // may check what changes the layout first
};

TEST(DpiScaling, EveryDialogScalesItsPixelsAndClipsNoText)
{
    auto closeWith = [](int id) { return [id](HWND dialog) { rig::Click(dialog, id); }; };
    const DialogCase cases[] = {
        {"main",
         [] { return CImageListDlg().DoModal(); },
         [](HWND dialog) {
             HWND list = ::GetDlgItem(dialog, IDC_FILE_LIST);
             for (int row = 1; row <= 3; ++row)
                 rig::AppendRow(list, {std::to_string(row), "IMG_000" + std::to_string(row) + ".jpg", "JPG",
                                       "4000 x 3000", "01/02/2020 10:00:00", "C:\\Photos\\IMG_000" + std::to_string(row) + ".jpg"});
             const int design[] = {40, 150, 65, 85, 130, 300};
             std::vector<int> widths = rig::ColumnWidths(list);
             ASSERT_EQ(widths.size(), std::size(design));
             for (size_t column = 0; column < widths.size(); ++column)
                 EXPECT_EQ(widths[column], Scaled(design[column])) << "column " << column;
         },
         [](HWND dialog) {
             // Last, as it leaves the controls where they were: dragged onto a screen of twice
             // the scale, which only Windows' dialog manager answers by re-laying them out.
             HWND list = ::GetDlgItem(dialog, IDC_FILE_LIST);
             std::vector<int> widths = rig::ColumnWidths(list);
             RECT suggested{10, 20, 900, 700};
             UINT doubled = 2 * fw::DpiForWindow(dialog);
             ::SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(doubled, doubled), reinterpret_cast<LPARAM>(&suggested));
             RECT now;
             ::GetWindowRect(dialog, &now);
             EXPECT_TRUE(::EqualRect(&now, &suggested));
             for (size_t column = 0; column < widths.size(); ++column)
                 EXPECT_EQ(rig::ColumnWidths(list)[column], 2 * widths[column]) << "column " << column;
             rig::PostCommand(dialog, IDC_CLOSE);
             rig::AnswerMessageBox(rig::WaitForMessageBox(::GetCurrentProcessId()).hwnd, IDYES);
         }},
        {"settings", [] { return CVideoSettingsDlg().DoModal(); }, [](HWND) {}, closeWith(IDCANCEL)},
        {"work",
         [] { return IdleWaitDlg().DoModal(); },
         [](HWND dialog) {
             SIZE busy = WindowSize(::GetDlgItem(dialog, IDC_WAIT_ANIMATION));
             EXPECT_EQ(busy.cx, Scaled(32));
             EXPECT_EQ(busy.cy, Scaled(32));
         },
         [](HWND dialog) { ::PostMessageA(dialog, WM_WORK_CLOSE_OK, 0, 0); }},
        {"preview",
         [] {
             CImagePreviewDlg preview;
             preview.m_imagePath = fixtures::Path("solid.png");
             preview.m_imageName = "photo.png";
             return preview.DoModal();
         },
         [](HWND dialog) {
             HWND picture = ::GetDlgItem(dialog, IDC_PREVIEW_PICTURE);
             auto shown = [&] { return rig::CountPixels(picture, RGB(30, 160, 70)) == size_t(Scaled(100) * Scaled(50)); };
             EXPECT_TRUE(rig::WaitUntil(shown, 3000)) << "the image at its natural size at this DPI";
         },
         [](HWND dialog) { rig::PressKey(dialog, VK_ESCAPE); }},
        {"about",
         [] { return CAboutDlg().DoModal(); },
         [](HWND dialog) {
             HWND banner = nullptr;
             for (HWND child = ::GetWindow(dialog, GW_CHILD); child && !banner; child = ::GetWindow(child, GW_HWNDNEXT))
                 if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
                     banner = child;
             ASSERT_NE(banner, nullptr);
             SIZE size = WindowSize(banner);
             EXPECT_EQ(size.cx, Scaled(285));
             EXPECT_EQ(size.cy, Scaled(61));
         },
         closeWith(IDOK)},
    };
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.name);
        rig::UiThread ui([&c] { c.run(); });
        HWND dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(static_cast<int>(fw::DpiForWindow(dialog)), ExpectedDpi());
        c.check(dialog);
        ExpectNothingClipped(dialog);
        ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SaveScreenshotOnRequest(c.name);
        c.close(dialog);
        EXPECT_TRUE(ui.Join());
    }
}

} // namespace
