// The picture control and the preview dialog on real windows: where and how large the image
// is drawn, read back from the screen; transparency; the dialog's title and keys.
#include "framework/Dialog.h"
#include "preview/ImagePreviewDlg.h"
#include "preview/PictureCtrl.h"
#include "resource.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

namespace {

const COLORREF SOLID = RGB(30, 160, 70);

// Written by ImageMagick when the tests are built (tests/fixtures/make-images.sh).
std::string Fixture(const std::string& name)
{
    return rig::ExecutableDirectory() + "fixtures\\" + name;
}

// The preview's template with its picture area exactly the size it has at 96 dpi.
class PictureHostDlg : public CDialog {
public:
    static constexpr int WIDTH = 623;
    static constexpr int HEIGHT = 429;

    explicit PictureHostDlg(const std::string& path) : CDialog(IDD_IMAGE_PREVIEW) { m_picture.SetImagePath(path); }
    HWND Picture() const { return m_picture.GetSafeHwnd(); }

protected:
    BOOL OnInitDialog() override
    {
        RECT frame{0, 0, WIDTH + 40, HEIGHT + 40};
        ::AdjustWindowRectEx(&frame, ::GetWindowLongA(m_hWnd, GWL_STYLE), FALSE, ::GetWindowLongA(m_hWnd, GWL_EXSTYLE));
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
        ::SetWindowPos(GetDlgItem(IDC_PREVIEW_PICTURE), nullptr, 20, 20, WIDTH, HEIGHT, SWP_NOZORDER);
        m_picture.SubclassDlgItem(IDC_PREVIEW_PICTURE, m_hWnd);
        return TRUE;
    }

private:
    CPictureCtrl m_picture;
};

// The host dialog running on its own thread for as long as the object lives.
class ShownPicture {
public:
    explicit ShownPicture(const std::string& path) : m_host(path), m_ui([this] { m_host.DoModal(); })
    {
        // Off the dialog: under Wine the control's hand cursor, set while the test reads the
        // screen, has hung the dialog's thread now and then.
        rig::MovePointer({1279, 1023});
        m_dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Image Preview");
        if (m_dialog)
            ::RedrawWindow(m_dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    ~ShownPicture()
    {
        if (m_dialog)
            rig::PostCommand(m_dialog, IDCANCEL);
        m_ui.Join();
    }
    HWND Picture() const { return m_host.Picture(); }
    std::vector<COLORREF> Pixels() const
    {
        RECT rect;
        ::GetWindowRect(Picture(), &rect);
        return rig::ScreenPixels(rect);
    }

private:
    PictureHostDlg m_host;
    rig::UiThread m_ui;
    HWND m_dialog = nullptr;
};

// As the screen's pixels hold a colour: 0x00RRGGBB.
COLORREF Shown(COLORREF c)
{
    return static_cast<COLORREF>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

TEST(PictureCtrlTest, DrawsSmoothlyFromTopLeftAtNaturalSizeOrSqueezedPerAxis)
{
    struct Case {
        std::string file;
        int shownWidth, shownHeight;
    };
    std::vector<Case> cases;
    const int sizes[][4] = {{200, 100, 200, 100}, {1600, 300, 623, 300}, {640, 480, 623, 429}, {1300, 1000, 623, 429}};
    for (const auto& size : sizes) {
        // Smooth gradients, red down and green across.
        std::string name = "gradient" + std::to_string(size[0]) + "x" + std::to_string(size[1]);
        for (const char* type : {".jpg", ".png", ".bmp", ".gif"})
            cases.push_back({Fixture(name + type), size[2], size[3]});
    }
    cases.push_back({Fixture("gone.png"), 0, 0});
    const COLORREF background = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF shownBackground = Shown(background);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ShownPicture shown(c.file);
        ASSERT_NE(shown.Picture(), nullptr);
        std::vector<COLORREF> pixels;
        auto at = [&](int x, int y) { return pixels[y * PictureHostDlg::WIDTH + x]; };
        auto covered = [&] {
            pixels = shown.Pixels();
            for (int y = 0; y < PictureHostDlg::HEIGHT; ++y)
                for (int x = 0; x < PictureHostDlg::WIDTH; ++x)
                    if ((at(x, y) != shownBackground) != (x < c.shownWidth && y < c.shownHeight))
                        return false;
            return true;
        };
        // Wine hands a window's drawing to the X server a little later: poll the screen.
        EXPECT_TRUE(rig::WaitUntil(covered, 3000)) << "one image rectangle from the top-left corner";
        // Squeezing merges rows and columns; a channel must never jump between neighbours as
        // it does when merged pixels are ANDed together.
        int worst = 0;
        for (int y = 0; y + 1 < c.shownHeight; ++y)
            for (int x = 0; x + 1 < c.shownWidth; ++x)
                for (int shift : {0, 8, 16})
                    for (COLORREF next : {at(x + 1, y), at(x, y + 1)})
                        worst = std::max(worst, std::abs(int(at(x, y) >> shift & 0xFF) - int(next >> shift & 0xFF)));
        EXPECT_LE(worst, 24) << "largest step between neighbouring pixels";
    }
}

TEST(PictureCtrlTest, TransparentPngBlendsOverBackgroundAtEveryRepaint)
{
    ShownPicture shown(Fixture("half.png"));
    ASSERT_NE(shown.Picture(), nullptr);
    COLORREF background = ::GetSysColor(COLOR_BTNFACE);
    auto blend = [](int over, int under) { return (over * 128 + under * 127) / 255; };
    int expected[3] = {blend(GetRValue(SOLID), GetRValue(background)), blend(GetGValue(SOLID), GetGValue(background)),
                       blend(GetBValue(SOLID), GetBValue(background))};
    for (int repaint = 0; repaint < 4; ++repaint) {
        // What the pointer's coming and going does to the control.
        ::RedrawWindow(shown.Picture(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        int got[3] = {};
        auto matches = [&] {
            COLORREF p = shown.Pixels()[10 * PictureHostDlg::WIDTH + 10];
            got[0] = p >> 16 & 0xFF;
            got[1] = p >> 8 & 0xFF;
            got[2] = p & 0xFF;
            for (int channel = 0; channel < 3; ++channel)
                if (std::abs(got[channel] - expected[channel]) > 3)
                    return false;
            return true;
        };
        rig::WaitUntil(matches, 2000);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(got[channel], expected[channel], 3) << "repaint " << repaint << " channel " << channel;
        EXPECT_EQ(shown.Pixels()[60 * PictureHostDlg::WIDTH + 10], Shown(background));
    }
}

class ImagePreviewDlgTest : public ::testing::Test {
protected:
    HWND Open(const std::string& path, const std::string& name)
    {
        m_preview.m_imagePath = path;
        m_preview.m_imageName = name;
        m_ui = std::make_unique<rig::UiThread>([this] { m_result = m_preview.DoModal(); });
        return rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Image Preview (" + name + ")");
    }

    CImagePreviewDlg m_preview;
    INT_PTR m_result = 0;
    std::unique_ptr<rig::UiThread> m_ui;
};

TEST_F(ImagePreviewDlgTest, TitledWithNameEnterDoesNothingEscapeAndCloseBoxClose)
{
    const std::pair<const char*, std::function<void(HWND)>> closers[] = {
        {"Escape", [](HWND dialog) { rig::PressKey(dialog, VK_ESCAPE); }},
        {"close box", [](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [name, close] : closers) {
        SCOPED_TRACE(name);
        HWND dialog = Open(Fixture("solid.png"), "photo.jpg");
        ASSERT_NE(dialog, nullptr);
        // Handled in order: had Enter ended the dialog, it would have ended with IDOK.
        rig::PressKey(dialog, VK_RETURN);
        close(dialog);
        EXPECT_TRUE(rig::WaitForWindowGone(dialog));
        EXPECT_TRUE(m_ui->Join());
        EXPECT_EQ(m_result, IDCANCEL);
    }
}

} // namespace
