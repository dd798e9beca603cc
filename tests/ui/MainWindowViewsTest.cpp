// The About box from the system menu and the image preview from the list: the ways in, what
// they show, and no handles left behind by repeated openings.
#include "filelist/ImageListDlg.h"
#include "links/AboutDlg.h"
#include "resource.h"
#include "tests/fixtures/ImageBytes.h"
#include "GuiObjects.h"
#include "RecordingTarget.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char ABOUT_CAPTION[] = "About Lumvex Time Lapse Video Tools";

LOGFONTA FontOf(HWND hwnd)
{
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

std::string MenuText(HMENU menu, UINT position)
{
    char text[128] = {};
    ::GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

// The main window on a user-interface thread of this process, closed as a user would.
class MainWindowViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ui = std::make_unique<rig::UiThread>([this] { m_main.DoModal(); });
        m_window = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Lumvex Time Lapse Video Tools");
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override
    {
        if (m_window) {
            rig::PostCommand(m_window, IDC_CLOSE);
            rig::MessageBoxInfo box = rig::WaitForMessageBox(::GetCurrentProcessId());
            if (box.hwnd)
                rig::AnswerMessageBox(box.hwnd, IDYES);
        }
        EXPECT_TRUE(m_ui->Join());
    }

    HWND OpenAbout()
    {
        ::PostMessageA(m_window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        return rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", ABOUT_CAPTION);
    }

    // Rows for PNG files of these names, written into the test's folder.
    void AddImageRows(const std::vector<std::string>& names)
    {
        fixtures::PngOptions png;
        png.width = 64;
        png.height = 48;
        for (const std::string& name : names) {
            rig::WriteFileBytes(m_folder.File(name), fixtures::MakePng(png));
            m_main.AddImageFile(m_folder.File(name));
        }
        ASSERT_EQ(rig::RowCount(List()), static_cast<int>(names.size()));
    }
    HWND List() const { return ::GetDlgItem(m_window, IDC_FILE_LIST); }
    POINT RowPoint(int row) const
    {
        RECT rect{LVIR_LABEL, 0, 0, 0};
        ::SendMessageA(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return {rect.left + 5, (rect.top + rect.bottom) / 2};
    }
    // Waits for the preview of that file name and closes it with Escape.
    bool PreviewShownAndClosed(const std::string& name)
    {
        HWND preview = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Image Preview (" + name + ")", 5000);
        if (!preview)
            return false;
        EXPECT_FALSE(::IsWindowEnabled(m_window)) << "the preview is modal over the main window";
        rig::PressKey(preview, VK_ESCAPE);
        return rig::WaitForWindowGone(preview);
    }

    rig::TempFolder m_folder;
    CImageListDlg m_main;
    std::unique_ptr<rig::UiThread> m_ui;
    HWND m_window = nullptr;
};

TEST_F(MainWindowViewsTest, SystemMenuEndsWithAboutItemAndLacksSizing)
{
    HMENU menu = ::GetSystemMenu(m_window, FALSE);
    ASSERT_NE(menu, nullptr);
    int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(MenuText(menu, count - 1), "&About Lumvex Time Lapse Video Tools...");
    EXPECT_TRUE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
    for (UINT removed : {SC_MAXIMIZE, SC_RESTORE, SC_SIZE})
        EXPECT_EQ(::GetMenuState(menu, removed, MF_BYCOMMAND), static_cast<UINT>(-1)) << removed;
    EXPECT_NE(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(MainWindowViewsTest, AboutBoxShowsBoldVersionOverDialogFont)
{
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(m_window)) << "the About box is modal over the main window";
    EXPECT_EQ(rig::ItemText(about, IDC_VERSION_LABEL), "LumvexTimeLapseVideo Version 1.0.0.1");

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    LOGFONTA version = FontOf(::GetDlgItem(about, IDC_VERSION_LABEL));
    EXPECT_EQ(version.lfWeight, FW_BOLD);
    EXPECT_STREQ(version.lfFaceName, metrics.lfMenuFont.lfFaceName);
    EXPECT_EQ(version.lfHeight, metrics.lfMenuFont.lfHeight);
    EXPECT_STREQ(FontOf(about).lfFaceName, "Arial");

    rig::Click(about, IDOK);
    EXPECT_TRUE(rig::WaitForWindowGone(about));
    EXPECT_TRUE(rig::WaitUntil([&] { return ::IsWindowEnabled(m_window) != FALSE; }));
}

TEST_F(MainWindowViewsTest, OpeningAboutBoxFiftyTimesLeaksNoHandles)
{
    EXPECT_TRUE(RepeatsWithoutGuiGrowth("About box", m_window, 50, [&] {
        HWND about = OpenAbout();
        ASSERT_NE(about, nullptr);
        // Painted at least once, so the labels have made their fonts.
        ::UpdateWindow(about);
        rig::Click(about, IDOK);
        ASSERT_TRUE(rig::WaitForWindowGone(about));
    }));
}

TEST_F(MainWindowViewsTest, PreviewOpensFromARowByDoubleClickEnterOrViewImage)
{
    AddImageRows({"a.png", "b.png", "c.png"});
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"double-click", [&] { rig::MouseClick(List(), RowPoint(1), false, true); }},
        // The double-click left the focus on that row; a click now could count as a third.
        {"Enter", [&] { rig::TypeKeys({VK_RETURN}); }},
        {"View Image, first selected", [&] {
             rig::SelectRows(List(), {2, 1});
             rig::PostCommand(m_window, ID_VIEW_IMAGE);
         }},
    };
    for (const auto& [way, open] : ways) {
        open();
        EXPECT_TRUE(PreviewShownAndClosed("b.png")) << way;
    }

    // Off the rows, or with none selected, nothing opens: a later click still reaches the list.
    POINT below = RowPoint(2);
    below.y += 120;
    rig::MouseClick(List(), below, false, true);
    rig::MouseClick(List(), RowPoint(0));
    EXPECT_TRUE(rig::WaitUntil([&] { return ::SendMessageA(List(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED) == 0; }));
    rig::SelectRows(List(), {});
    DWORD_PTR answer = 0;
    EXPECT_TRUE(::SendMessageTimeoutA(m_window, WM_COMMAND, ID_VIEW_IMAGE, 0, SMTO_NORMAL, 3000, &answer));
    EXPECT_TRUE(::IsWindowEnabled(m_window));
}

TEST_F(MainWindowViewsTest, OpeningPreviewTwoHundredTimesLeaksNoHandles)
{
    AddImageRows({"shown.png"});
    rig::SelectRows(List(), {0});
    EXPECT_TRUE(RepeatsWithoutGuiGrowth("Image preview", m_window, 200, [&] {
        rig::PostCommand(m_window, ID_VIEW_IMAGE);
        HWND preview = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Image Preview (shown.png)");
        ASSERT_NE(preview, nullptr);
        ::UpdateWindow(preview);
        rig::PressKey(preview, VK_ESCAPE);
        ASSERT_TRUE(rig::WaitForWindowGone(preview));
    }));
}

TEST(AboutBoxTest, LabelsOpenMailtoAddressAndWebSite)
{
    OpenLog log;
    CAboutDlg about;
    about.GetMailLink().SetLinkTarget(std::make_unique<RecordingTarget>(log));
    about.GetWebLink().SetLinkTarget(std::make_unique<RecordingTarget>(log));
    rig::UiThread ui([&] { about.DoModal(); });
    HWND dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", ABOUT_CAPTION);
    ASSERT_NE(dialog, nullptr);

    std::string shownAddress = rig::ItemText(dialog, IDC_MAIL_LINK);
    ::SendMessageA(::GetDlgItem(dialog, IDC_MAIL_LINK), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageA(::GetDlgItem(dialog, IDC_WEB_LINK), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(log.Opened(), (std::vector<std::string>{"mailto:" + shownAddress, "https://www.lumvex.example/"}));
    EXPECT_EQ(shownAddress, CAboutDlg::SUPPORT_ADDRESS);
    EXPECT_EQ(about.GetMailLink().GetTextColor(), CStaticLink::VisitedLinkColor);

    rig::PressKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(ui.Join());
}

} // namespace
