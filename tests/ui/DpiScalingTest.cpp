// Every dialog at the display's DPI: what is sized in pixels follows it, and a move to a
// screen of another scale re-lays the main window out. The suite runs at 96 dpi;
// tools/wine-at-dpi.sh runs these tests again at 144 and 192, and with LUMVEX_SCREENSHOTS set
// they leave a screenshot of each dialog beside the executable, where clipped text shows.
#include "filelist/ImageListDlg.h"
#include "framework/Dpi.h"
#include "links/AboutDlg.h"
#include "preview/ImagePreviewDlg.h"
#include "resource.h"
#include "rig/HostTool.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/dialogs/VideoSettingsDlg.h"
#include "video/dialogs/WaitDlg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

const int EXPECTED_DPI = std::getenv("LUMVEX_EXPECTED_DPI") ? std::atoi(std::getenv("LUMVEX_EXPECTED_DPI")) : 96;

int Scaled(int pixels) { return ::MulDiv(pixels, EXPECTED_DPI, 96); }

void ExpectSize(HWND hwnd, int width, int height)
{
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(std::make_pair(rect.right - rect.left, rect.bottom - rect.top),
              std::make_pair(LONG(Scaled(width)), LONG(Scaled(height))));
}

// A work dialog with no job behind it: it stays up until it is told the job is done.
class IdleWaitDlg : public CWaitDlg {
protected:
    bool StartJob(fw::ThreadProc) override { return true; }
};

// The list's columns as designed for 96 dpi, on a display of `scale` times this one's DPI.
void ExpectColumnWidths(HWND list, int scale)
{
    const int design[] = {40, 150, 65, 85, 130, 130, 300};
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(ListView_GetColumnWidth(list, column), scale * Scaled(design[column])) << "column " << column;
}

// Checks the main window's column widths, then drags it onto a screen of twice the scale, which
// only Windows' dialog manager answers by re-laying the controls out; closes it.
void CheckMainWindow(HWND dialog)
{
    HWND list = ::GetDlgItem(dialog, IDC_FILE_LIST);
    ExpectColumnWidths(list, 1);
    RECT suggested{10, 20, 900, 700};
    UINT doubled = 2 * fw::DpiForWindow(dialog);
    ::SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(doubled, doubled), reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    ::GetWindowRect(dialog, &now);
    EXPECT_TRUE(::EqualRect(&now, &suggested));
    ExpectColumnWidths(list, 2);
    rig::Click(dialog, IDC_CLOSE);
    rig::AnswerMessageBox(IDYES);
}

TEST(DpiScaling, EveryDialogScalesItsPixels)
{
    const struct {
        const char* name;
        std::function<INT_PTR()> run;
        std::function<void(HWND)> checkAndClose;
    } cases[] = {
        {"main", [] { return CImageListDlg().DoModal(); }, CheckMainWindow},
        {"settings", [] { return CVideoSettingsDlg().DoModal(); }, [](HWND dialog) { rig::Click(dialog, IDCANCEL); }},
        {"work", [] { return IdleWaitDlg().DoModal(); },
         [](HWND dialog) {
             ExpectSize(::GetDlgItem(dialog, IDC_WAIT_ANIMATION), 32, 32);
             ::PostMessageA(dialog, WM_WORK_CLOSE_OK, 0, 0);
         }},
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
             rig::PressKey(dialog, VK_ESCAPE);
         }},
        {"about", [] { return CAboutDlg().DoModal(); },
         [](HWND dialog) {
             // The banner comes after OK in the template.
             ExpectSize(::GetWindow(::GetDlgItem(dialog, IDOK), GW_HWNDNEXT), 285, 61);
             rig::Click(dialog, IDOK);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rig::UiThread ui([&c] { c.run(); });
        HWND dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(static_cast<int>(fw::DpiForWindow(dialog)), EXPECTED_DPI);
        ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (std::getenv("LUMVEX_SCREENSHOTS"))
            rig::RunHostTool("import", "-window root \"" + rig::ExecutableDirectory() + c.name + "_"
                                           + std::to_string(EXPECTED_DPI) + "dpi.png\"");
        c.checkAndClose(dialog);
        EXPECT_TRUE(ui.Join());
    }
}

} // namespace
