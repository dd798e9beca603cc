// The hyperlink label on real windows: colours driven by the real pointer (so these run with
// the UI tests, alone), clicks with the shell replaced, where the target comes from, font
// and cursor.
#include "framework/Dialog.h"
#include "links/AboutDlg.h"
#include "links/StaticLink.h"
#include "resource.h"
#include "RecordingTarget.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The About box's template with two extra text statics made at run time: one whose id has
// a string-table entry (103), one whose id has none.
constexpr int ID_WITH_STRING = IDS_IMAGE_PREVIEW_TITLE;
constexpr int ID_WITHOUT_STRING = 4321;

class LinkHostDlg : public CDialog {
public:
    explicit LinkHostDlg(OpenLog& log) : CDialog(IDD_ABOUTBOX)
    {
        for (CStaticLink* link : {&mail, &web, &fromString, &fromText})
            link->SetLinkTarget(std::make_unique<RecordingTarget>(log));
    }

    CStaticLink mail;
    CStaticLink web;
    CStaticLink fromString;
    CStaticLink fromText;

protected:
    BOOL OnInitDialog() override
    {
        mail.SubclassDlgItem(IDC_MAIL_LINK, m_hWnd);
        web.SubclassDlgItem(IDC_WEB_LINK, m_hWnd);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        int y = 2;
        for (int id : {ID_WITH_STRING, ID_WITHOUT_STRING}) {
            DWORD style = WS_CHILD | WS_VISIBLE | SS_LEFT | (id == ID_WITHOUT_STRING ? SS_NOPREFIX : 0);
            HWND label = ::CreateWindowExA(0, "STATIC", "notes.txt", style, 200, y, 80, 16,
                                           m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
            ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            y += 20;
        }
        fromString.SubclassDlgItem(ID_WITH_STRING, m_hWnd);
        fromText.SubclassDlgItem(ID_WITHOUT_STRING, m_hWnd);
        return TRUE;
    }
};

class StaticLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig::MovePointer({0, 0});
        m_ui = std::make_unique<rig::UiThread>([this] { m_host.DoModal(); });
        m_dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "About Lumvex Time Lapse Video Tools");
        ASSERT_NE(m_dialog, nullptr);
        ::UpdateWindow(m_dialog);
    }
    void TearDown() override
    {
        if (m_dialog)
            rig::Click(m_dialog, IDOK);
        EXPECT_TRUE(m_ui->Join());
        rig::MovePointer({0, 0});
    }

    // The label is drawn in this colour, on the screen and in its state.
    static ::testing::AssertionResult ShowsColor(const CStaticLink& link, COLORREF color)
    {
        bool shown = rig::WaitUntil([&] {
            return link.GetTextColor() == color && rig::CountPixels(link.GetSafeHwnd(), color, 120) > 10;
        }, 5000);
        if (shown)
            return ::testing::AssertionSuccess();

        return ::testing::AssertionFailure() << "colour " << std::hex << link.GetTextColor() << " with "
                                             << std::dec << rig::CountPixels(link.GetSafeHwnd(), color, 120)
                                             << " pixels of the expected one";
    }

    OpenLog m_log;
    LinkHostDlg m_host{m_log};
    std::unique_ptr<rig::UiThread> m_ui;
    HWND m_dialog = nullptr;
};

TEST_F(StaticLinkTest, PointerTurnsLabelRedAndLeavingTurnsItBlue)
{
    EXPECT_TRUE(ShowsColor(m_host.mail, CStaticLink::UnvisitedLinkColor));
    rig::MovePointer(rig::CentreOf(m_host.mail.GetSafeHwnd()));
    EXPECT_TRUE(ShowsColor(m_host.mail, CStaticLink::HoverLinkColor));
    EXPECT_TRUE(ShowsColor(m_host.web, CStaticLink::UnvisitedLinkColor));

    rig::MovePointer(rig::CentreOf(m_host.web.GetSafeHwnd()));
    EXPECT_TRUE(ShowsColor(m_host.mail, CStaticLink::UnvisitedLinkColor));
    EXPECT_TRUE(ShowsColor(m_host.web, CStaticLink::HoverLinkColor));
    EXPECT_FALSE(m_host.mail.IsHovering());
}

TEST_F(StaticLinkTest, SuccessfulClickTurnsPurpleUntilPointerLeavesAndAFailedOneStaysRed)
{
    HWND mail = m_host.mail.GetSafeHwnd();
    m_host.mail.SetTargetText("mailto:someone@lumvex.example");
    rig::ClickAt(rig::CentreOf(mail));
    ASSERT_TRUE(rig::WaitUntil([&] { return !m_log.Opened().empty(); }, 2000));
    EXPECT_EQ(m_log.Opened(), std::vector<std::string>{"mailto:someone@lumvex.example"});
    EXPECT_TRUE(ShowsColor(m_host.mail, CStaticLink::VisitedLinkColor));
    ::SendMessageA(mail, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(ShowsColor(m_host.mail, CStaticLink::VisitedLinkColor)) << "purple while the pointer stays";
    rig::MovePointer({0, 0});
    EXPECT_TRUE(ShowsColor(m_host.mail, CStaticLink::UnvisitedLinkColor));

    m_log.result = SE_ERR_NOASSOC;
    HWND web = m_host.web.GetSafeHwnd();
    rig::ClickAt(rig::CentreOf(web));
    ASSERT_TRUE(rig::WaitUntil([&] { return m_log.Opened().size() == 2; }, 2000));
    ::SendMessageA(web, WM_NULL, 0, 0);  // the click's handler has finished
    EXPECT_TRUE(ShowsColor(m_host.web, CStaticLink::HoverLinkColor));
}

TEST_F(StaticLinkTest, EmptyTargetComesFromStringTableThenWindowText)
{
    EXPECT_TRUE(ShowsColor(m_host.fromText, CStaticLink::UnvisitedLinkColor)) << "SS_NOPREFIX is still text";
    ::PostMessageA(m_host.fromString.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageA(m_host.fromText.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ASSERT_TRUE(rig::WaitUntil([&] { return m_log.Opened().size() == 2; }, 2000));
    EXPECT_EQ(m_log.Opened(), (std::vector<std::string>{"Image Preview (%s)", "notes.txt"}));
    // A target found once stays, even when the text changes.
    ::SetWindowTextA(m_host.fromText.GetSafeHwnd(), "other.txt");
    ::SendMessageA(m_host.fromText.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(m_log.Opened().back(), "notes.txt");
}

TEST_F(StaticLinkTest, LabelsShareTheHandCursorAndKeepTheDialogsFontNotUnderlined)
{
    for (HWND label : {m_host.mail.GetSafeHwnd(), m_host.web.GetSafeHwnd()})
        EXPECT_EQ(::SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(CStaticLink::HandCursor(), ::LoadCursorA(nullptr, IDC_HAND));

    ASSERT_TRUE(rig::WaitUntil([&] { return m_host.mail.GetLinkFont() != nullptr; }, 2000));
    LOGFONTA dialogFont{};
    LOGFONTA linkFont{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(m_dialog, WM_GETFONT, 0, 0)), sizeof(dialogFont), &dialogFont);
    ::GetObjectA(m_host.mail.GetLinkFont(), sizeof(linkFont), &linkFont);
    EXPECT_STREQ(linkFont.lfFaceName, dialogFont.lfFaceName);
    EXPECT_EQ(linkFont.lfHeight, dialogFont.lfHeight);
    EXPECT_EQ(linkFont.lfWeight, dialogFont.lfWeight);
    EXPECT_FALSE(linkFont.lfUnderline);
}

} // namespace
