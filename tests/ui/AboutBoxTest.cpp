// The About box's hyperlink labels on real windows: the colours follow the real pointer and
// the clicks, with the shell replaced by a recorder.
#include "framework/Dpi.h"
#include "links/AboutDlg.h"
#include "resource.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
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

// The menu font under another face for the test's time; the system's own one back after.
class MenuFace {
public:
    explicit MenuFace(const wchar_t* face)
    {
        m_saved.cbSize = sizeof(m_saved);
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m_saved), &m_saved, 0);
        NONCLIENTMETRICSW changed = m_saved;
        std::wcsncpy(changed.lfMenuFont.lfFaceName, face, LF_FACESIZE - 1);
        // Not written to the user's settings.
        ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(changed), &changed, 0);
    }
    ~MenuFace() { ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(m_saved), &m_saved, 0); }

private:
    NONCLIENTMETRICSW m_saved{};
};

LOGFONTW FontOf(HFONT font)
{
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof(logFont), &logFont);
    return logFont;
}

// The version line takes the menu font's face whole in any script (20 characters, 44 bytes
// in UTF-8), in bold. On a screen of twice the DPI the line and both links draw in fonts made
// for it, and the old ones are freed. Wine moves no window between screens of different
// scale and its dialog manager rescales nothing: the test sends what Windows' would, the new
// DPI to the dialog, the dialog font made for it to the controls that use it, and
// WM_DPICHANGED_AFTERPARENT to every control.
TEST(AboutBox, FontsKeepTheirFaceAndAreMadeAnewForANewDpi)
{
    const wchar_t face[] = L"\u041B\u0443\u043C\u0432\u0435\u043A\u0441 \u0428\u0440\u0438\u0444\u0442 "
                           L"\u6642\u9593\u7D4C\u904E\u52D5\u753B";
    MenuFace menuFace(face);
    CAboutDlg about;
    rig::UiThread ui([&] { about.DoModal(); });
    HWND dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "About Lumvex Time Lapse Video Tools");
    ASSERT_NE(dialog, nullptr);
    HWND version = ::GetDlgItem(dialog, IDC_VERSION_LABEL);
    auto versionFont = [&] { return reinterpret_cast<HFONT>(::SendMessageW(version, WM_GETFONT, 0, 0)); };
    CStaticLink* links[] = {&about.GetMailLink(), &about.GetWebLink()};
    auto linksDrawn = [&] { return links[0]->GetLinkFont() && links[1]->GetLinkFont(); };
    ASSERT_TRUE(rig::WaitUntil(linksDrawn, 5000));
    const LOGFONTW bold = FontOf(versionFont());
    EXPECT_STREQ(bold.lfFaceName, face);
    EXPECT_EQ(bold.lfWeight, FW_BOLD);
    const HFONT oldFonts[] = {versionFont(), links[0]->GetLinkFont(), links[1]->GetLinkFont()};

    const UINT doubled = 2 * fw::DpiForWindow(dialog);
    RECT suggested;
    ::GetWindowRect(dialog, &suggested);
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(doubled, doubled), reinterpret_cast<LPARAM>(&suggested));
    LOGFONTW larger = FontOf(links[0]->GetLinkFont());
    larger.lfHeight *= 2;
    fw::unique_hfont dialogFont(::CreateFontIndirectW(&larger));
    for (CStaticLink* link : links)
        ::SendMessageW(link->GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont.get()), TRUE);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_DPICHANGED_AFTERPARENT, 0, 0);
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(rig::WaitUntil(linksDrawn, 5000));

    const LOGFONTW boldNow = FontOf(versionFont());
    EXPECT_STREQ(boldNow.lfFaceName, face);
    EXPECT_EQ(boldNow.lfWeight, FW_BOLD);
    EXPECT_NEAR(boldNow.lfHeight, 2 * bold.lfHeight, 1);
    for (CStaticLink* link : links)
        EXPECT_EQ(FontOf(link->GetLinkFont()).lfHeight, larger.lfHeight);
    for (HFONT old : oldFonts)
        EXPECT_EQ(::GetObjectType(old), 0u) << "an old font is still alive";

    rig::PressKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(ui.Join());
}

} // namespace
