#include "imaging/ImageFile.h"

#include "app/Globals.h"
#include "filelist/ImageFileRow.h"
#include "filelist/RowText.h"
#include "tests/fixtures/Fixtures.h"
#include "tests/win/imaging/Canvas.h"

#include <gtest/gtest.h>

#include <thread>

using testimages::Canvas;

namespace {

std::string Copy(const rig::TempFolder& folder, const std::string& fixture, const std::string& name)
{
    rig::CopyFileTo(fixtures::Path(fixture), folder.File(name));
    return folder.File(name);
}

} // namespace

TEST(ImageFile, HeaderSizeEqualsTheFullDecodeForEveryVariant)
{
    rig::TempFolder folder;
    std::vector<std::string> paths;
    for (const char* name : {"bmp1.bmp", "bmp4.bmp", "bmp8.bmp", "bmp16.bmp", "bmp24.bmp", "bmp32.bmp", "bmpcore.bmp",
                             "bmpv5.bmp", "png-grey1.png", "png-grey16.png", "png-greyalpha.png", "png-palette4.png",
                             "png-palette8.png", "png-rgb16i.png", "png-rgba8i.png", "baseline.jpg", "grey.jpg",
                             "progressive.jpg", "exif.jpg", "still.gif", "animated.gif"})
        paths.push_back(Copy(folder, name, name));
    std::string topDown = fixtures::Bytes("bmp24.bmp").replace(22, 4, "\xEF\xFF\xFF\xFF");
    ASSERT_TRUE(rig::WriteFileBytes(folder.File("top-down.bmp"), topDown));
    paths.push_back(folder.File("top-down.bmp"));

    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        CImageFile decoded;
        ASSERT_TRUE(decoded.Load(path)) << "the platform could not decode it";
        SIZE full = decoded.GetSize();
        decoded.FreeImage();
        ImageFileRow row;
        ASSERT_TRUE(ReadImageFileRow(path, row));
        EXPECT_EQ(row.typeText, decoded.GetType());
        EXPECT_EQ(folder.File(row.fileName), path);
        EXPECT_EQ(row.fileName, decoded.GetFileName());
        EXPECT_EQ(row.dimensions, FormatDimensions(full.cx, full.cy));
        EXPECT_EQ(row.filePath, path);
    }
    EXPECT_FALSE(g_gdiplus.IsStarted());
}

TEST(ImageFile, TypeComesFromTheContentAndTheNameFromTheFileSystem)
{
    rig::TempFolder folder;
    CImageFile file;
    ASSERT_TRUE(file.Load(Copy(folder, "red.png", "really-a-png.jpg")));
    EXPECT_EQ(file.GetType(), "PNG");
    EXPECT_EQ(file.GetFileName(), "really-a-png.jpg");
    Copy(folder, "baseline.jpg", "Holiday.JPG");
    ASSERT_TRUE(file.Load(folder.File("holiday.jpg")));
    EXPECT_EQ(file.GetType(), "JPG");
    EXPECT_EQ(file.GetFileName(), "Holiday.JPG");
    ImageFileRow row;
    ASSERT_TRUE(ReadImageFileRow(folder.File("HOLIDAY.jpg"), row));
    EXPECT_EQ(row.fileName, "Holiday.JPG");
    EXPECT_EQ(row.filePath, folder.File("HOLIDAY.jpg"));
}

TEST(ImageFile, TextFileIsOthersAndAMissingOneLeavesTypeAndName)
{
    rig::TempFolder folder;
    ASSERT_TRUE(rig::WriteFileBytes(folder.File("notes.gif"), "just some words\r\n"));
    CImageFile file;
    EXPECT_FALSE(file.Load(folder.File("notes.gif")));
    EXPECT_EQ(file.GetType(), "Others");
    EXPECT_EQ(file.GetFileName(), "notes.gif");
    EXPECT_EQ(file.GetSize().cx, 0);
    EXPECT_EQ(file.GetSize().cy, 0);
    Canvas canvas(4, 4);
    EXPECT_TRUE(file.Draw(canvas.Dc(), RECT{0, 0, 4, 4}));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 255, 255));
    EXPECT_FALSE(file.Draw(nullptr, RECT{0, 0, 4, 4}));

    ASSERT_TRUE(file.Load(Copy(folder, "bmp24.bmp", "a.bmp")));
    EXPECT_FALSE(file.Load(folder.File("gone.png")));
    EXPECT_EQ(file.GetType(), "BMP");
    EXPECT_EQ(file.GetFileName(), "a.bmp");
    EXPECT_EQ(file.GetSize().cx, 0);
}

TEST(ImageFile, ZeroRectangleDrawsAtNaturalSizeAndAnyOtherScalesEachAxis)
{
    const struct {
        const char* file;
        RECT rect;
        COLORREF colour;
        POINT inside[2];
        POINT outside[2];
    } cases[] = {
        {"blue.png", {0, 0, 0, 0}, RGB(0, 0, 255), {{0, 0}, {19, 9}}, {{20, 0}, {0, 10}}},
        {"green.png", {5, 5, 35, 13}, RGB(0, 255, 0), {{5, 5}, {34, 12}}, {{35, 12}, {34, 13}}},
    };
    for (const auto& c : cases) {
        CImageFile file;
        ASSERT_TRUE(file.Load(fixtures::Path(c.file)));
        Canvas canvas(40, 30);
        ASSERT_TRUE(file.Draw(canvas.Dc(), c.rect));
        for (POINT p : c.inside)
            EXPECT_EQ(canvas.Pixel(p.x, p.y), c.colour) << c.file;
        for (POINT p : c.outside)
            EXPECT_EQ(canvas.Pixel(p.x, p.y), RGB(255, 255, 255)) << c.file;
    }
}

TEST(ImageFile, PngLoadedOverAJpegReplacesIt)
{
    CImageFile file;
    ASSERT_TRUE(file.Load(fixtures::Path("exif.jpg")));
    EXPECT_EQ(file.GetSize().cx, 640);
    ASSERT_TRUE(file.Load(fixtures::Path("red.png")));
    EXPECT_EQ(file.GetType(), "PNG");
    EXPECT_EQ(file.GetSize().cx, 8);
    EXPECT_EQ(file.GetSize().cy, 6);
    Canvas canvas(70, 50);
    ASSERT_TRUE(file.Draw(canvas.Dc(), RECT{0, 0, 0, 0}));
    EXPECT_EQ(canvas.Pixel(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(30, 30), RGB(255, 255, 255)) << "the JPEG was drawn too";
}

TEST(ImageFile, LoadsPicturesOnAWorkerThreadThatNeverStartedCom)
{
    for (const char* name : {"baseline.jpg", "still.gif", "bmp24.bmp", "png-rgb8.png"}) {
        bool loaded = false;
        SIZE size = {};
        std::thread worker([&] {
            CImageFile file;
            loaded = file.Load(fixtures::Path(name));
            size = file.GetSize();
        });
        worker.join();
        EXPECT_TRUE(loaded) << name;
        EXPECT_GT(size.cx, 0) << name;
    }
}
