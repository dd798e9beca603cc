#include "imaging/ImageFile.h"

#include "app/Globals.h"
#include "filelist/ImageFileRow.h"
#include "filelist/RowText.h"
#include "framework/Handles.h"
#include "imaging/DibImage.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <thread>

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
        // Drawn at its own size on a white canvas.
        CDibImage canvas;
        ASSERT_TRUE(canvas.CreateDib(70, 50, 32, BI_RGB, nullptr, 0));
        HDC dc = canvas.GetMemoryDC();
        ::PatBlt(dc, 0, 0, 70, 50, WHITENESS);
        ASSERT_TRUE(held->Draw(dc, RECT{0, 0, 0, 0}));
        EXPECT_EQ(::GetPixel(dc, 3, 3), RGB(255, 0, 0));
        EXPECT_EQ(::GetPixel(dc, 30, 30), RGB(255, 255, 255)) << "the JPEG was drawn too";
        canvas.ReleaseMemoryDC();
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
        EXPECT_NEAR(ParseCreatedTime(row.createdTime), std::time(nullptr), 3) << row.createdTime;
        EXPECT_FALSE(CImageFile().Load(path));
        EXPECT_FALSE(g_gdiplus.IsStarted());
        lock.reset();
        EXPECT_TRUE(::DeleteFileA(path.c_str())) << "left open";
    }
    ImageFileRow row;
    EXPECT_FALSE(ReadImageFileRow(folder.File("deleted.jpg"), row));
    EXPECT_FALSE(ReadImageFileRow("", row));
}
