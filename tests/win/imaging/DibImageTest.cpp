#include "imaging/DibImage.h"

#include "app/Globals.h"
#include "tests/win/imaging/Canvas.h"
#include "imaging/ImageFile.h"
#include "tests/fixtures/ImageBytes.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fixtures;
using namespace testimages;

namespace {

std::vector<RGBQUAD> ColorTable(CDibImage& image)
{
    std::vector<RGBQUAD> colors(256);
    UINT count = ::GetDIBColorTable(image.GetMemoryDC(), 0, 256, colors.data());
    image.ReleaseMemoryDC();
    colors.resize(count);
    return colors;
}

const BYTE* PixelAt(const CDibImage& image, int x, int y)
{
    return image.GetBits() + y * image.GetPitch() + x * image.GetBitsPerPixel() / 8;
}

bool Near(int a, int b) { return std::abs(a - b) <= 2; }

} // namespace

TEST(DibImage, PalettedPngKeepsItsPaletteAndIndices)
{
    rig::TempFolder folder;
    // Two-bit palettes have no GDI+ format of their own; Wine widens them to 32 bits.
    for (int depth : {1, 4, 8}) {
        SCOPED_TRACE(depth);
        PngOptions o;
        o.width = 13;
        o.height = 7;
        o.colorType = 3;
        o.bitDepth = depth;
        CDibImage image;
        ASSERT_EQ(image.LoadFromFile(WriteImage(folder, "palette.png", MakePng(o))), S_OK);
        ASSERT_LE(image.GetBitsPerPixel(), 8);
        std::vector<RGBQUAD> table = ColorTable(image);
        ASSERT_GE(table.size(), static_cast<size_t>(PngPaletteSize(o)));
        for (int i = 0; i < PngPaletteSize(o); ++i) {
            Rgb c = PaletteColor(i);
            EXPECT_EQ(table[i].rgbRed, c.r) << i;
            EXPECT_EQ(table[i].rgbGreen, c.g) << i;
            EXPECT_EQ(table[i].rgbBlue, c.b) << i;
        }
        if (image.GetBitsPerPixel() == 8) {
            for (int y = 0; y < o.height; ++y)
                for (int x = 0; x < o.width; ++x)
                    ASSERT_EQ(*PixelAt(image, x, y), PngSample(o, x, y, 0)) << x << "," << y;
        }
    }
}

TEST(DibImage, PngWithAlphaIsA32BitAlphaImageDrawnBlended)
{
    rig::TempFolder folder;
    PngOptions o;
    o.width = 6;
    o.height = 4;
    o.colorType = 6;
    o.solid = true;
    o.solidRgba[0] = 255;
    o.solidRgba[3] = 128;
    std::string path = WriteImage(folder, "alpha.png", MakePng(o));

    CImageFile file;
    ASSERT_TRUE(file.Load(path));
    Canvas canvas(10, 10);
    ASSERT_TRUE(file.Draw(canvas.Dc(), RECT{0, 0, 0, 0}));
    // Half-transparent red over white.
    COLORREF blended = canvas.Pixel(2, 2);
    EXPECT_TRUE(Near(GetRValue(blended), 255) && Near(GetGValue(blended), 127) && Near(GetBValue(blended), 127))
        << std::hex << blended;
    EXPECT_EQ(canvas.Pixel(7, 2), RGB(255, 255, 255));

    CDibImage image;
    ASSERT_EQ(image.LoadFromFile(path), S_OK);
    EXPECT_TRUE(image.HasAlpha());
    EXPECT_EQ(image.GetBitsPerPixel(), 32);
    // Held premultiplied, as blending expects.
    const BYTE* p = PixelAt(image, 1, 1);
    EXPECT_TRUE(Near(p[2], 128) && p[1] == 0 && p[0] == 0 && p[3] == 128);
}

TEST(DibImage, TwentyFourBitPngIsCopiedRowByRowUnchanged)
{
    rig::TempFolder folder;
    PngOptions o;
    o.width = 33;  // rows not a multiple of four bytes
    o.height = 9;
    CDibImage image;
    ASSERT_EQ(image.LoadFromFile(WriteImage(folder, "rgb.png", MakePng(o))), S_OK);
    EXPECT_EQ(image.GetBitsPerPixel(), 24);
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(std::abs(image.GetPitch()), 100);
    for (int y = 0; y < o.height; ++y) {
        for (int x = 0; x < o.width; ++x) {
            const BYTE* p = PixelAt(image, x, y);
            ASSERT_EQ(p[2], PngSample(o, x, y, 0)) << x << "," << y;
            ASSERT_EQ(p[1], PngSample(o, x, y, 1)) << x << "," << y;
            ASSERT_EQ(p[0], PngSample(o, x, y, 2)) << x << "," << y;
        }
    }
}

TEST(DibImage, SixteenBitFiveSixFiveBitmapKeepsItsColours)
{
    rig::TempFolder folder;
    BmpOptions o;
    o.width = 32;
    o.height = 4;
    o.bitsPerPixel = 16;
    o.bitfields565 = true;
    CDibImage image;
    ASSERT_EQ(image.LoadFromFile(WriteImage(folder, "565.bmp", MakeBmp(o))), S_OK);
    Canvas canvas(32, 4);
    ASSERT_TRUE(image.Draw(canvas.Dc(), RECT{0, 0, 32, 4}));
    // Pixel (31, 3): red 31 of 31, green 3 of 63, blue 7 of 31.
    COLORREF c = canvas.Pixel(31, 3);
    EXPECT_GE(GetRValue(c), 0xF0);
    EXPECT_LE(GetGValue(c), 0x10);
    EXPECT_TRUE(GetBValue(c) >= 0x30 && GetBValue(c) <= 0x40) << std::hex << c;
}

TEST(DibImage, SaveAsJpegWritesAJpegOfTheSameSizeAndColour)
{
    rig::TempFolder folder;
    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha);
        CDibImage image;
        ASSERT_TRUE(image.CreateDib(40, 30, 32, BI_RGB, nullptr, alpha ? CDibImage::CREATE_HAS_ALPHA : 0));
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                BYTE* p = image.GetBits() + y * image.GetPitch() + x * 4;
                p[0] = 0x20;
                p[1] = 0x80;
                p[2] = 0xE0;
                p[3] = 0xFF;
            }
        }
        std::string path = folder.File(alpha ? "alpha.jpg" : "plain.jpg");
        ASSERT_TRUE(image.SaveAsJpeg(path));
        CImageFile saved;
        ASSERT_TRUE(saved.Load(path));
        EXPECT_EQ(saved.GetType(), "JPG");
        SIZE size = saved.GetSize();
        EXPECT_EQ(size.cx, 40);
        EXPECT_EQ(size.cy, 30);
        Canvas canvas(40, 30);
        saved.Draw(canvas.Dc(), RECT{0, 0, 0, 0});
        COLORREF c = canvas.Pixel(20, 15);
        EXPECT_TRUE(std::abs(GetRValue(c) - 0xE0) < 12 && std::abs(GetGValue(c) - 0x80) < 12 && std::abs(GetBValue(c) - 0x20) < 12)
            << std::hex << c;
    }
}

TEST(DibImage, SaveAsJpegWithoutAPictureOrIntoAMissingFolderFails)
{
    rig::TempFolder folder;
    CDibImage empty;
    EXPECT_FALSE(empty.SaveAsJpeg(folder.File("empty.jpg")));
    CDibImage image;
    ASSERT_TRUE(image.CreateDib(4, 4, 24, BI_RGB, nullptr, 0));
    EXPECT_FALSE(image.SaveAsJpeg(folder.File("no\\such\\folder\\x.jpg")));
}

TEST(DibImage, LastImageStopsGdiplusAndTheNextPngStartsItAgain)
{
    ASSERT_EQ(g_gdiplus.ImageCount(), 0);
    rig::TempFolder folder;
    std::string path = WriteImage(folder, "a.png", MakePng({}));
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
    EXPECT_EQ(again.GetSize().cx, 16);
}
