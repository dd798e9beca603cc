#include "imaging/DibImage.h"

#include "app/Globals.h"
#include "imaging/ImageFile.h"
#include "tests/fixtures/Fixtures.h"
#include "tests/win/imaging/Canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testimages::Canvas;

namespace {

const BYTE* PixelAt(const CDibImage& image, int x, int y)
{
    return image.GetBits() + y * image.GetPitch() + x * image.GetBitsPerPixel() / 8;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance
        && std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// The picture as the image object draws it at its natural size.
void DrawFixture(Canvas& canvas, const std::string& fixture)
{
    CImageFile file;
    EXPECT_TRUE(file.Load(fixtures::Path(fixture)));
    EXPECT_TRUE(file.Draw(canvas.Dc(), RECT{0, 0, 0, 0}));
}

} // namespace

TEST(DibImage, PalettedPngKeepsItsPaletteAndIndices)
{
    for (const char* name : {"png-palette1.png", "png-palette4.png", "png-palette8.png"}) {
        SCOPED_TRACE(name);
        CDibImage image;
        ASSERT_EQ(image.LoadFromFile(fixtures::Path(name)), S_OK);
        ASSERT_LE(image.GetBitsPerPixel(), 8);
        RGBQUAD table[256] = {};
        ::GetDIBColorTable(image.GetMemoryDC(), 0, 256, table);
        image.ReleaseMemoryDC();
        Canvas reference(29, 17);
        DrawFixture(reference, name);
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 29; ++x) {
                int bits = image.GetBitsPerPixel();
                int index = (image.GetBits()[y * image.GetPitch() + x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1 << bits) - 1);
                ASSERT_EQ(RGB(table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue), reference.Pixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(DibImage, PngWithAlphaIsHeldPremultipliedAndDrawnBlended)
{
    CDibImage image;
    ASSERT_EQ(image.LoadFromFile(fixtures::Path("half.png")), S_OK);
    EXPECT_TRUE(image.HasAlpha());
    ASSERT_EQ(image.GetBitsPerPixel(), 32);
    const BYTE* p = PixelAt(image, 1, 1);
    EXPECT_TRUE(Near(RGB(p[2], p[1], p[0]), RGB(15, 80, 35), 2) && std::abs(p[3] - 128) <= 1);
    // Half-transparent green over white.
    Canvas canvas(110, 60);
    DrawFixture(canvas, "half.png");
    EXPECT_TRUE(Near(canvas.Pixel(2, 2), RGB(142, 207, 162), 2)) << std::hex << canvas.Pixel(2, 2);
    EXPECT_EQ(canvas.Pixel(105, 2), RGB(255, 255, 255));
}

TEST(DibImage, TwentyFourBitPngIsCopiedRowByRowUnchanged)
{
    CDibImage image;
    ASSERT_EQ(image.LoadFromFile(fixtures::Path("png-rgb8.png")), S_OK);
    EXPECT_EQ(image.GetBitsPerPixel(), 24);
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(std::abs(image.GetPitch()), 88) << "rows padded to four bytes";
    std::string rgb = fixtures::Bytes("png-rgb8.rgb");
    ASSERT_EQ(rgb.size(), 29u * 17 * 3);
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 29; ++x) {
            const BYTE* p = PixelAt(image, x, y);
            const auto* expected = reinterpret_cast<const BYTE*>(rgb.data()) + (y * 29 + x) * 3;
            ASSERT_EQ(RGB(p[2], p[1], p[0]), RGB(expected[0], expected[1], expected[2])) << x << "," << y;
        }
    }
}

TEST(DibImage, SixteenBitFiveSixFiveBitmapKeepsItsColours)
{
    CDibImage image;
    ASSERT_EQ(image.LoadFromFile(fixtures::Path("bmp16.bmp")), S_OK);
    Canvas canvas(29, 17);
    ASSERT_TRUE(image.Draw(canvas.Dc(), RECT{0, 0, 29, 17}));
    Canvas reference(29, 17);
    DrawFixture(reference, "bmp24.bmp");
    for (POINT at : {POINT{0, 0}, POINT{14, 8}, POINT{28, 16}})
        EXPECT_TRUE(Near(canvas.Pixel(at.x, at.y), reference.Pixel(at.x, at.y), 8)) << std::hex << canvas.Pixel(at.x, at.y);
}

TEST(DibImage, SaveAsJpegWritesAJpegOfTheSameSizeAndColourOrFails)
{
    rig::TempFolder folder;
    for (bool alpha : {false, true}) {
        CDibImage image;
        ASSERT_TRUE(image.CreateDib(40, 30, 32, BI_RGB, nullptr, alpha ? CDibImage::CREATE_HAS_ALPHA : 0));
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                *reinterpret_cast<DWORD*>(image.GetBits() + y * image.GetPitch() + x * 4) = 0xFFE08020;
        std::string path = folder.File(alpha ? "alpha.jpg" : "plain.jpg");
        ASSERT_TRUE(image.SaveAsJpeg(path));
        CImageFile saved;
        ASSERT_TRUE(saved.Load(path));
        EXPECT_EQ(saved.GetType(), "JPG");
        EXPECT_EQ(saved.GetSize().cx, 40);
        EXPECT_EQ(saved.GetSize().cy, 30);
        Canvas canvas(40, 30);
        saved.Draw(canvas.Dc(), RECT{0, 0, 0, 0});
        EXPECT_TRUE(Near(canvas.Pixel(20, 15), RGB(0xE0, 0x80, 0x20), 12)) << alpha;
    }
    EXPECT_FALSE(CDibImage().SaveAsJpeg(folder.File("empty.jpg")));
    CDibImage image;
    ASSERT_TRUE(image.CreateDib(4, 4, 24, BI_RGB, nullptr, 0));
    EXPECT_FALSE(image.SaveAsJpeg(folder.File("no\\such\\folder\\x.jpg")));
}

TEST(DibImage, LastImageStopsGdiplusAndTheNextPngStartsItAgain)
{
    ASSERT_EQ(g_gdiplus.ImageCount(), 0);
    std::string path = fixtures::Path("red.png");
    {
        CImageFile first;
        ASSERT_TRUE(first.Load(path));
        EXPECT_TRUE(g_gdiplus.IsStarted());
        {
            CDibImage second;
            ASSERT_EQ(second.LoadFromFile(path), S_OK);
        }
        EXPECT_TRUE(g_gdiplus.IsStarted()) << "stopped while an image was still alive";
    }
    EXPECT_FALSE(g_gdiplus.IsStarted());
    CImageFile again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_TRUE(g_gdiplus.IsStarted());
    EXPECT_EQ(again.GetSize().cx, 8);
}
