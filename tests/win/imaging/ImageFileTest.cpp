#include "imaging/ImageFile.h"

#include "app/Globals.h"
#include "filelist/ImageFileRow.h"
#include "filelist/RowText.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "tests/win/imaging/Canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <thread>

using testimages::Canvas;

namespace {

// Within a few steps a channel: decoders widen 5-bit and narrow 16-bit channels each their
// own way.
bool Near(COLORREF pixel, const std::string& rgb, size_t at)
{
    const COLORREF channels[] = {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)};
    for (size_t i = 0; i < 3; ++i)
        if (std::abs(static_cast<int>(channels[i]) - static_cast<uint8_t>(rgb[at + i])) > 8)
            return false;
    return true;
}

} // namespace

// The row read from the header has the size a full decode finds, and the lossless variants
// draw at their natural size the pixels ImageMagick reads, flattened on white.
TEST(ImageFile, EveryVariantDecodesToItsHeadersSizeAndImageMagicksPixels)
{
    rig::TempFolder folder;
    const std::string topDown = folder.File("top-down.bmp");
    ASSERT_TRUE(rig::WriteFileBytes(topDown, fixtures::Bytes("bmp24.bmp").replace(22, 4, "\xEF\xFF\xFF\xFF")));
    std::vector<std::string> paths = {topDown};
    for (const char* name : {"bmp1.bmp", "bmp4.bmp", "bmp8.bmp", "bmp16.bmp", "bmp24.bmp", "bmp32.bmp", "bmpcore.bmp",
                             "bmpv5.bmp", "png-grey1.png", "png-grey8.png", "png-grey16.png", "png-greyalpha.png",
                             "png-palette1.png", "png-palette4.png", "png-palette8.png", "png-rgb8.png", "png-rgb16i.png",
                             "png-rgba8i.png", "half.png", "still.gif", "animated.gif", "baseline.jpg", "grey.jpg",
                             "progressive.jpg", "exif.jpg"})
        paths.push_back(fixtures::Path(name));
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        CImageFile decoded;
        ASSERT_TRUE(decoded.Load(path)) << "the platform could not decode it";
        const SIZE full = decoded.GetSize();
        std::string rgb = rig::ReadFileBytes(path.substr(0, path.rfind('.')) + ".rgb");
        if (!rgb.empty()) {
            ASSERT_EQ(rgb.size(), static_cast<size_t>(full.cx * full.cy * 3));
            Canvas canvas(full.cx, full.cy);
            ASSERT_TRUE(decoded.Draw(canvas.Dc(), RECT{0, 0, 0, 0}));
            for (int y = 0; y < full.cy; ++y)
                for (int x = 0; x < full.cx; ++x)
                    ASSERT_TRUE(Near(canvas.Pixel(x, y), rgb, (y * full.cx + x) * 3)) << x << "," << y;
        }
        decoded.FreeImage();
        ImageFileRow row;
        ASSERT_TRUE(ReadImageFileRow(path, row));
        EXPECT_EQ(row.typeText, decoded.GetType());
        EXPECT_EQ(row.fileName, decoded.GetFileName());
        EXPECT_EQ(row.dimensions, FormatDimensions(full.cx, full.cy));
        EXPECT_EQ(row.filePath, path);
    }
    EXPECT_FALSE(g_gdiplus.IsStarted());
}

TEST(ImageFile, TypeComesFromTheContentAndTheNameFromTheFileSystem)
{
    rig::TempFolder folder;
    ASSERT_TRUE(rig::CopyFileTo(fixtures::Path("red.png"), folder.File("really-a-png.jpg")));
    ASSERT_TRUE(rig::CopyFileTo(fixtures::Path("baseline.jpg"), folder.File("Holiday.JPG")));
    ASSERT_TRUE(rig::WriteFileBytes(folder.File("notes.gif"), "just some words\r\n"));
    CImageFile file;
    ASSERT_TRUE(file.Load(folder.File("really-a-png.jpg")));
    EXPECT_EQ(file.GetType(), "PNG");
    EXPECT_EQ(file.GetFileName(), "really-a-png.jpg");
    ASSERT_TRUE(file.Load(folder.File("holiday.jpg")));
    EXPECT_EQ(file.GetType(), "JPG");
    EXPECT_EQ(file.GetFileName(), "Holiday.JPG");
    // A missing file leaves the last type and name, without a picture.
    EXPECT_FALSE(file.Load(folder.File("gone.png")));
    EXPECT_EQ(file.GetType(), "JPG");
    EXPECT_EQ(file.GetFileName(), "Holiday.JPG");
    EXPECT_EQ(file.GetSize().cx, 0);
    // Text is Others, and draws nothing.
    EXPECT_FALSE(file.Load(folder.File("notes.gif")));
    EXPECT_EQ(file.GetType(), "Others");
    EXPECT_EQ(file.GetFileName(), "notes.gif");
    Canvas canvas(4, 4);
    EXPECT_TRUE(file.Draw(canvas.Dc(), RECT{0, 0, 4, 4}));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 255, 255));
    EXPECT_FALSE(file.Draw(nullptr, RECT{0, 0, 4, 4}));
}

// A PNG loaded over a JPEG on a thread that never started COM replaces it; GDI+ runs for as
// long as any PNG is held.
TEST(ImageFile, ALoadReplacesThePictureOnAnyThreadAndGdiplusRunsWhileAPngIsHeld)
{
    std::optional<CImageFile> held(std::in_place);
    std::thread([&] {
        ASSERT_TRUE(held->Load(fixtures::Path("exif.jpg")));
        EXPECT_EQ(held->GetSize().cx, 640);
        ASSERT_TRUE(held->Load(fixtures::Path("red.png")));
    }).join();
    EXPECT_EQ(held->GetType(), "PNG");
    EXPECT_EQ(held->GetSize().cx, 8);
    EXPECT_EQ(held->GetSize().cy, 6);
    {
        Canvas canvas(70, 50);
        ASSERT_TRUE(held->Draw(canvas.Dc(), RECT{0, 0, 0, 0}));
        EXPECT_EQ(canvas.Pixel(3, 3), RGB(255, 0, 0));
        EXPECT_EQ(canvas.Pixel(30, 30), RGB(255, 255, 255)) << "the JPEG was drawn too";
        CImageFile second;
        ASSERT_TRUE(second.Load(fixtures::Path("red.png")));
    }
    EXPECT_TRUE(g_gdiplus.IsStarted()) << "stopped while an image was still held";
    held.reset();
    EXPECT_FALSE(g_gdiplus.IsStarted());
}
