// The picture control on a real window: where and how large the image is drawn, how smoothly,
// and which way up, read back from the screen.
#include "preview/ImagePreviewDlg.h"
#include "resource.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// The preview's picture area at 96 dpi, with Arial's metrics.
constexpr int WIDTH = 534;
constexpr int HEIGHT = 396;

int Channel(COLORREF pixel, int shift) { return static_cast<int>(pixel >> shift & 0xFF); }

TEST(PictureCtrl, DrawsFromTopLeftAtNaturalSizeOrShrunkInShapeSmoothlyAndUpright)
{
    struct Case {
        std::string file;
        int shownWidth, shownHeight;
    };
    std::vector<Case> cases{{"gone.png", 0, 0}, {"half.png", 100, 50}};
    const int sizes[][4] = {{200, 100, 200, 100}, {1600, 300, 534, 100}, {640, 480, 528, 396}, {1300, 1000, 515, 396}};
    for (const auto& size : sizes) {
        for (const char* type : {".jpg", ".png", ".bmp", ".gif"})
            cases.push_back({"gradient" + std::to_string(size[0]) + "x" + std::to_string(size[1]) + type, size[2], size[3]});
    }
    // Photos stored turned or mirrored, each to be shown upright as its EXIF orientation says.
    for (int orientation = 1; orientation <= 8; ++orientation)
        cases.push_back({"orientation-" + std::to_string(orientation) + ".jpg", 320, 240});
    const COLORREF background = ::GetSysColor(COLOR_BTNFACE);
    rig::TempFolder folder;
    // Off the dialog: under Wine the control's hand cursor, set while the test reads the
    // screen, has hung the dialog's thread now and then.
    rig::MovePointer({1279, 1023});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CImagePreviewDlg preview;
        preview.m_imagePath = fixtures::Path(c.file);
        rig::UiThread ui([&] { preview.DoModal(); });
        HWND dialog = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "");
        ASSERT_NE(dialog, nullptr);
        RECT rect;
        ::GetWindowRect(::GetDlgItem(dialog, IDC_PREVIEW_PICTURE), &rect);
        ASSERT_EQ(std::make_pair(rect.right - rect.left, rect.bottom - rect.top), std::make_pair(LONG(WIDTH), LONG(HEIGHT)));
        std::vector<COLORREF> pixels;
        auto at = [&](int x, int y) { return pixels[y * WIDTH + x]; };
        auto covered = [&] {
            pixels = rig::ScreenPixels(rect);
            for (int y = 0; y < HEIGHT; ++y)
                for (int x = 0; x < WIDTH; ++x)
                    if ((at(x, y) != background) != (x < c.shownWidth && y < c.shownHeight))
                        return false;
            return true;
        };
        // Repainted as the pointer's coming and going does; Wine hands a window's drawing to the
        // X server a little later, so the screen is polled.
        for (int repaint = 0; repaint < 2; ++repaint) {
            ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            EXPECT_TRUE(rig::WaitUntil(covered, 3000)) << "one image rectangle from the top-left corner";
        }
        if (c.file.rfind("orientation", 0) == 0) {
            // The shown picture as a PPM, for ffmpeg to compare.
            std::string shown = "P6\n320 240\n255\n";
            for (int y = 0; y < c.shownHeight; ++y)
                for (int x = 0; x < c.shownWidth; ++x)
                    shown += {char(GetRValue(at(x, y))), char(GetGValue(at(x, y))), char(GetBValue(at(x, y)))};
            ASSERT_TRUE(rig::WriteFileBytes(folder.File("shown.ppm"), shown));
            std::vector<double> similarity =
                rig::FrameSimilarities(folder.File("shown.ppm"), fixtures::Path("upright.png"), "null");
            EXPECT_TRUE(similarity.size() == 1 && similarity[0] >= 0.9) << "shown upright";
        } else {
            // Shrinking merges rows and columns; a channel must never jump between neighbours
            // as it does when merged pixels are ANDed together.
            int worst = 0;
            for (int y = 0; y + 1 < c.shownHeight; ++y)
                for (int x = 0; x + 1 < c.shownWidth; ++x)
                    for (int shift : {0, 8, 16})
                        for (COLORREF next : {at(x + 1, y), at(x, y + 1)})
                            worst = std::max(worst, std::abs(Channel(at(x, y), shift) - Channel(next, shift)));
            EXPECT_LE(worst, 24) << "largest step between neighbouring pixels";
        }
        if (c.file == "half.png") {
            const COLORREF green = RGB(30, 160, 70);
            for (int shift : {0, 8, 16}) {
                int blend = (Channel(green, shift) * 128 + Channel(background, shift) * 127) / 255;
                EXPECT_NEAR(Channel(at(10, 10), shift), blend, 3) << "half transparent over the background";
            }
        }
        rig::Click(dialog, IDCANCEL);
        EXPECT_TRUE(ui.Join());
    }
}

} // namespace
