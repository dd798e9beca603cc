#include "imaging/ImageFile.h"

#include "app/Globals.h"
#include "filelist/ImageFileRow.h"
#include "filelist/RowText.h"
#include "framework/Handles.h"
#include "imaging/DibImage.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <optional>
#include <thread>

namespace {

// What drawing the image into the rectangle of a white canvas shows, row by row; nothing
// when drawing fails.
std::vector<COLORREF> Drawn(CImageFile& image, int width, int height, const RECT& rect)
{
    CDibImage canvas;
    canvas.CreateDib(width, height, 32, BI_RGB, nullptr, 0);
    for (int y = 0; y < height; ++y)
        std::memset(canvas.GetBits() + y * canvas.GetPitch(), 0xFF, width * 4);
    bool drawn = image.Draw(canvas.GetMemoryDC(), rect);
    ::GdiFlush();
    canvas.ReleaseMemoryDC();
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height && drawn; ++y)
        for (int x = 0; x < width; ++x) {
            const BYTE* p = canvas.GetBits() + y * canvas.GetPitch() + x * 4;
            pixels.push_back(RGB(p[2], p[1], p[0]));
        }
    return pixels;
}

} // namespace

// The row read from the header has the size a full decode finds.
TEST(ImageFile, EveryVariantDecodesToItsHeadersSize)
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
        std::vector<COLORREF> pixels = Drawn(*held, 70, 50, RECT{0, 0, 0, 0});
        ASSERT_EQ(pixels.size(), 70u * 50u);
        EXPECT_EQ(pixels[3 * 70 + 3], RGB(255, 0, 0));
        EXPECT_EQ(pixels[30 * 70 + 30], RGB(255, 255, 255)) << "the JPEG was drawn too";
        CImageFile second;
        ASSERT_TRUE(second.Load(fixtures::Path("red.png")));
    }
    EXPECT_TRUE(g_gdiplus.IsStarted()) << "stopped while an image was still held";
    held.reset();
    EXPECT_FALSE(g_gdiplus.IsStarted());
}

// The row shows what the header says, or Others; a file locked against reading keeps only its
// created time. A full decode fails; nothing keeps the file open or GDI+ running; a missing
// path gives no row.
TEST(ImageFileRow, DamagedHugeOrLockedFilesGiveTheirHeadersRowAndNoPicture)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* type;
        const char* dimensions;
    } cases[] = {
        {"empty.jpg", "", "Others", "0 X 0"},
        {"garbage.bmp", "BM\x01\x02\x03 not a bitmap header at all", "BMP", "0 X 0"},
        {"huge.bmp", fixtures::Bytes("bmp24.bmp").replace(18, 8, "\xA0\x86\x01\x00\xA0\x86\x01\x00", 8), "BMP", "100000 X 100000"},
        {"locked.png", fixtures::Bytes("red.png"), "Others", "0 X 0"},
    };
    rig::TempFolder folder;
    const int64_t before = static_cast<int64_t>(std::time(nullptr));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder.File(c.name);
        ASSERT_TRUE(rig::WriteFileBytes(path, c.bytes));
        bool locked = std::string(c.name) == "locked.png";
        fw::unique_file lock(locked ? ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                    : INVALID_HANDLE_VALUE);
        ImageFileRow row;
        ASSERT_TRUE(ReadImageFileRow(path, row));
        EXPECT_EQ(row.fileName, locked ? "" : c.name);
        EXPECT_EQ(row.typeText, c.type);
        EXPECT_EQ(row.dimensions, c.dimensions);
        int64_t shown = ParseCreatedTime(row.createdTime);
        EXPECT_GE(shown, before - 2) << row.createdTime;
        EXPECT_LE(shown, static_cast<int64_t>(std::time(nullptr)) + 2) << row.createdTime;
        EXPECT_FALSE(CImageFile().Load(path));
        EXPECT_FALSE(g_gdiplus.IsStarted());
        lock.reset();
        EXPECT_TRUE(::DeleteFileA(path.c_str())) << "left open";
    }
    ImageFileRow row;
    EXPECT_FALSE(ReadImageFileRow(folder.File("deleted.jpg"), row));
    EXPECT_FALSE(ReadImageFileRow("", row));
}
