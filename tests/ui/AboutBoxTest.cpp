// The About box, reached from the main window's system menu: item, fonts, link targets,
// and no handles left behind by repeated openings.
#include "filelist/ImageListDlg.h"
#include "links/AboutDlg.h"
#include "resource.h"
#include "RecordingTarget.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>

#include <cstdio>
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
class MainWindowTest : public ::testing::Test {
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

    CImageListDlg m_main;
    std::unique_ptr<rig::UiThread> m_ui;
    HWND m_window = nullptr;
};

TEST_F(MainWindowTest, SystemMenuEndsWithAboutItemAndLacksSizing)
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

TEST_F(MainWindowTest, AboutBoxShowsBoldVersionOverDialogFont)
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

    LOGFONTA dialog = FontOf(about);
    EXPECT_STREQ(dialog.lfFaceName, "Arial");
    for (HWND child = ::GetWindow(about, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        std::string text = rig::Text(child);
        if (text == "Contact:" || text == "Website:" || ::GetDlgCtrlID(child) == IDC_MAIL_LINK) {
            LOGFONTA caption = FontOf(child);
            EXPECT_STREQ(caption.lfFaceName, dialog.lfFaceName) << text;
            EXPECT_EQ(caption.lfHeight, dialog.lfHeight) << text;
            EXPECT_EQ(caption.lfWeight, dialog.lfWeight) << text;
        }
    }
    rig::SaveScreenshot(rig::ExecutableDirectory() + "about.png");

    rig::Click(about, IDOK);
    EXPECT_TRUE(rig::WaitForWindowGone(about));
    EXPECT_TRUE(rig::WaitUntil([&] { return ::IsWindowEnabled(m_window) != FALSE; }));
}

TEST_F(MainWindowTest, OpeningAboutBoxFiftyTimesLeaksNoHandles)
{
    auto openAndClose = [&] {
        HWND about = OpenAbout();
        ASSERT_NE(about, nullptr);
        // Painted at least once, so the labels have made their fonts.
        ::UpdateWindow(about);
        rig::Click(about, IDOK);
        ASSERT_TRUE(rig::WaitForWindowGone(about));
    };
    openAndClose();  // the hand cursor and the first-use caches of the system
    {
        // The count must see one object more, or the comparison below proves nothing.
        DWORD before = rig::GdiObjectCount();
        HFONT probe = ::CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
        EXPECT_EQ(rig::GdiObjectCount(), before + 1);
        ::DeleteObject(probe);
    }
    DWORD gdiBefore = rig::GdiObjectCount();
    DWORD userBefore = rig::UserObjectCount();
    for (int i = 0; i < 50; ++i)
        openAndClose();
    DWORD gdiAfter = rig::GdiObjectCount();
    DWORD userAfter = rig::UserObjectCount();
    std::printf("About box x50: GDI objects %lu -> %lu, USER objects %lu -> %lu\n", gdiBefore, gdiAfter, userBefore,
                userAfter);
    EXPECT_LE(gdiAfter, gdiBefore);
    EXPECT_LE(userAfter, userBefore);
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
