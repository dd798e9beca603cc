// The About box's hyperlink labels on real windows: the colours follow the real pointer and
// the clicks, with the shell replaced by a recorder.
#include "links/AboutDlg.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

// What the links open, on the dialog's thread; the count, raised after each text is stored,
// tells the test's thread how many texts it may read.
std::vector<std::string> g_opened;
std::atomic<size_t> g_openCount{0};
std::atomic<INT_PTR> g_openResult{42};

class RecordingTarget : public LinkTarget {
public:
    INT_PTR Open() const override
    {
        g_opened.push_back(GetText());
        ++g_openCount;
        return g_openResult;
    }
};

// The label is drawn in this colour, on the screen and in its state.
::testing::AssertionResult ShowsColor(const CStaticLink& link, COLORREF color)
{
    auto shown = [&] { return link.GetTextColor() == color && rig::CountPixels(link.GetSafeHwnd(), color, 120) > 10; };
    if (rig::WaitUntil(shown, 5000))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour " << std::hex << link.GetTextColor();
}

TEST(AboutBox, LinksColourWithThePointerAndOpenOnClick)
{
    rig::MovePointer({0, 0});
    CAboutDlg about;
    CStaticLink& mail = about.GetMailLink();
    CStaticLink& web = about.GetWebLink();
    mail.SetLinkTarget(std::make_unique<RecordingTarget>());
    web.SetLinkTarget(std::make_unique<RecordingTarget>());
    rig::UiThread ui([&] { about.DoModal(); });
    HWND dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "About Lumvex Time Lapse Video Tools");
    ASSERT_NE(dialog, nullptr);

    // The labels keep the dialog's font, not underlined, and show the hand.
    ASSERT_TRUE(rig::WaitUntil([&] { return mail.GetLinkFont() != nullptr; }, 2000));
    LOGFONTA link{}, around{};
    ::GetObjectA(mail.GetLinkFont(), sizeof(link), &link);
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof(around), &around);
    EXPECT_STREQ(link.lfFaceName, around.lfFaceName);
    EXPECT_EQ(link.lfHeight, around.lfHeight);
    EXPECT_FALSE(link.lfUnderline);
    EXPECT_EQ(::SendMessageA(mail.GetSafeHwnd(), WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);

    EXPECT_TRUE(ShowsColor(mail, CStaticLink::UnvisitedLinkColor));
    POINT inside{2, 2};
    ::ClientToScreen(mail.GetSafeHwnd(), &inside);
    rig::MovePointer(inside);
    EXPECT_TRUE(ShowsColor(mail, CStaticLink::HoverLinkColor));

    // A successful click turns the label purple until the pointer leaves; a failed one leaves
    // it red.
    rig::MouseClick(mail.GetSafeHwnd(), {2, 2});
    ASSERT_TRUE(rig::WaitUntil([&] { return g_openCount == 1; }, 2000));
    EXPECT_TRUE(ShowsColor(mail, CStaticLink::VisitedLinkColor));
    rig::MovePointer({0, 0});
    EXPECT_TRUE(ShowsColor(mail, CStaticLink::UnvisitedLinkColor));
    g_openResult = SE_ERR_NOASSOC;
    rig::MouseClick(web.GetSafeHwnd(), {2, 2});
    ASSERT_TRUE(rig::WaitUntil([&] { return g_openCount == 2; }, 2000));
    EXPECT_TRUE(ShowsColor(web, CStaticLink::HoverLinkColor));
    EXPECT_EQ(g_opened,
              (std::vector<std::string>{std::string("mailto:") + CAboutDlg::SUPPORT_ADDRESS, CAboutDlg::WEB_SITE}));

    rig::PressKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(ui.Join());
    rig::MovePointer({0, 0});
}

} // namespace
