#include "imaging/ImageFile.h"

#include "app/Globals.h"
#include "filelist/ImageFileRow.h"
#include "filelist/RowText.h"
#include "tests/win/imaging/Canvas.h"
#include "tests/fixtures/ImageBytes.h"

#include <gtest/gtest.h>

#include <thread>

using namespace fixtures;
using namespace testimages;

namespace {

struct Sample {
    std::string name;
    std::string bytes;
};

// A photo-like JPEG from the platform's own encoder, with an Exif block spliced in.
std::string EncodedJpeg(const rig::TempFolder& folder, int width, int height, bool exif)
{
    CDibImage image;
    image.CreateDib(width, height, 24, BI_RGB, nullptr, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            image.GetBits()[y * image.GetPitch() + x] = static_cast<BYTE>(x * y + x / 3);
    std::string path = folder.File("encoded.jpg");
    if (!image.SaveAsJpeg(path))
        return std::string();
    std::string bytes = rig::ReadFileBytes(path);
    ::DeleteFileA(path.c_str());
    if (exif)
        bytes.insert(2, ExifSegment());
    return bytes;
}

std::vector<Sample> VariedSamples(const rig::TempFolder& folder)
{
    std::vector<Sample> samples;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        samples.push_back({"bmp" + std::to_string(bits) + ".bmp", MakeBmp({29, 17, bits})});
        samples.push_back({"bmp" + std::to_string(bits) + "top.bmp", MakeBmp({29, 17, bits, true})});
    }
    samples.push_back({"bmp565.bmp", MakeBmp({29, 17, 16, false, true})});
    samples.push_back({"bmpcore.bmp", MakeBmp({29, 17, 8, false, false, 12})});
    samples.push_back({"bmpv5.bmp", MakeBmp({29, 17, 24, false, false, 124})});

    samples.push_back({"encoded.jpg", EncodedJpeg(folder, 301, 203, false)});
    samples.push_back({"exif.jpg", EncodedJpeg(folder, 640, 480, true)});
    for (bool progressive : {false, true}) {
        for (int components : {1, 3}) {
            JpegOptions o;
            o.width = 250;
            o.height = 131;
            o.components = components;
            o.progressive = progressive;
            o.densityDpi = 300;
            o.exif = components == 3;
            samples.push_back({std::string(progressive ? "progressive" : "baseline") + std::to_string(components) + ".jpg",
                               MakeJpeg(o)});
        }
    }

    const std::pair<int, int> pngs[] = {{3, 1}, {3, 4}, {3, 8}, {0, 1}, {0, 8}, {0, 16}, {4, 8}, {2, 8}, {2, 16}, {6, 8}, {6, 16}};
    for (auto [colorType, depth] : pngs) {
        for (bool interlaced : {false, true}) {
            PngOptions o;
            o.width = 23;
            o.height = 19;
            o.colorType = colorType;
            o.bitDepth = depth;
            o.interlaced = interlaced;
            o.transparency = colorType == 3 && depth == 8;
            samples.push_back({"png" + std::to_string(colorType) + "_" + std::to_string(depth) + (interlaced ? "i" : "") + ".png",
                               MakePng(o)});
        }
    }

    GifOptions still;
    still.width = 21;
    still.height = 14;
    samples.push_back({"still.gif", MakeGif(still)});
    GifOptions animated = still;
    animated.frames = {GifFrame(), GifFrame{2, 3, 5, 4}, GifFrame{0, 0, 21, 14}};
    samples.push_back({"animated.gif", MakeGif(animated)});
    return samples;
}

} // namespace

TEST(ImageFile, HeaderSizeEqualsTheFullDecodeForEveryVariant)
{
    rig::TempFolder folder;
    for (const Sample& sample : VariedSamples(folder)) {
        SCOPED_TRACE(sample.name);
        ASSERT_FALSE(sample.bytes.empty());
        std::string path = WriteImage(folder, sample.name, sample.bytes);

        CImageFile decoded;
        ASSERT_TRUE(decoded.Load(path)) << "the platform could not decode it";
        SIZE full = decoded.GetSize();
        decoded.FreeImage();

        ImageFileRow row;
        ASSERT_TRUE(ReadImageFileRow(path, row));
        EXPECT_EQ(row.typeText, decoded.GetType());
        EXPECT_EQ(row.fileName, decoded.GetFileName());
        EXPECT_EQ(row.fileName, sample.name);
        EXPECT_EQ(row.dimensions, FormatDimensions(full.cx, full.cy));
        EXPECT_EQ(row.filePath, path);
    }
    EXPECT_FALSE(g_gdiplus.IsStarted());
}

TEST(ImageFile, TypeComesFromTheContentNotTheName)
{
    rig::TempFolder folder;
    CImageFile file;
    ASSERT_TRUE(file.Load(WriteImage(folder, "really-a-png.jpg", MakePng({}))));
    EXPECT_EQ(file.GetType(), "PNG");
    EXPECT_EQ(file.GetFileName(), "really-a-png.jpg");
    ASSERT_TRUE(file.Load(WriteImage(folder, "picture.png", MakeGif({}))));
    EXPECT_EQ(file.GetType(), "GIF");
}

TEST(ImageFile, FileNameIsTheOneTheFileSystemKeeps)
{
    rig::TempFolder folder;
    WriteImage(folder, "Holiday.JPG", MakeJpeg({}));
    CImageFile file;
    ASSERT_TRUE(file.Load(folder.File("holiday.jpg")));
    EXPECT_EQ(file.GetFileName(), "Holiday.JPG");
    ImageFileRow row;
    ASSERT_TRUE(ReadImageFileRow(folder.File("HOLIDAY.jpg"), row));
    EXPECT_EQ(row.fileName, "Holiday.JPG");
    EXPECT_EQ(row.filePath, folder.File("HOLIDAY.jpg"));
}

TEST(ImageFile, TextFileIsOthersWithNoSizeAndDrawsNothing)
{
    rig::TempFolder folder;
    CImageFile file;
    EXPECT_FALSE(file.Load(WriteImage(folder, "notes.gif", "just some words\r\n")));
    EXPECT_EQ(file.GetType(), "Others");
    EXPECT_EQ(file.GetFileName(), "notes.gif");
    EXPECT_EQ(file.GetSize().cx, 0);
    EXPECT_EQ(file.GetSize().cy, 0);
    Canvas canvas(4, 4);
    EXPECT_TRUE(file.Draw(canvas.Dc(), RECT{0, 0, 4, 4}));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 255, 255));
    EXPECT_FALSE(file.Draw(nullptr, RECT{0, 0, 4, 4}));
}

TEST(ImageFile, MissingPathLeavesTypeAndNameAlone)
{
    rig::TempFolder folder;
    CImageFile file;
    ASSERT_TRUE(file.Load(WriteImage(folder, "a.bmp", MakeBmp({}))));
    EXPECT_FALSE(file.Load(folder.File("gone.png")));
    EXPECT_EQ(file.GetType(), "BMP");
    EXPECT_EQ(file.GetFileName(), "a.bmp");
    EXPECT_EQ(file.GetSize().cx, 0);
}

TEST(ImageFile, ZeroRectangleDrawsAtNaturalSizeFromTheCorner)
{
    rig::TempFolder folder;
    PngOptions png;
    png.width = 20;
    png.height = 10;
    png.solid = true;
    png.solidRgba[2] = 255;  // blue
    BmpOptions bmp;
    bmp.width = 20;
    bmp.height = 10;
    const std::pair<std::string, std::string> files[] = {{"solid.png", MakePng(png)}, {"pattern.bmp", MakeBmp(bmp)}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        CImageFile file;
        ASSERT_TRUE(file.Load(WriteImage(folder, name, bytes)));
        Canvas canvas(40, 30);
        ASSERT_TRUE(file.Draw(canvas.Dc(), RECT{0, 0, 0, 0}));
        EXPECT_NE(canvas.Pixel(19, 9), RGB(255, 255, 255));
        EXPECT_EQ(canvas.Pixel(20, 0), RGB(255, 255, 255));
        EXPECT_EQ(canvas.Pixel(0, 10), RGB(255, 255, 255));
        if (name == "solid.png")
            EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 255));
        else  // bottom-up rows: the top row holds x * 5, 0, x
            EXPECT_EQ(canvas.Pixel(7, 0), RGB(7, 0, 35));
    }
}

TEST(ImageFile, RectangleScalesEachAxisOnItsOwn)
{
    rig::TempFolder folder;
    PngOptions png;
    png.width = 4;
    png.height = 4;
    png.solid = true;
    png.solidRgba[1] = 255;
    CImageFile file;
    ASSERT_TRUE(file.Load(WriteImage(folder, "green.png", MakePng(png))));
    Canvas canvas(40, 30);
    ASSERT_TRUE(file.Draw(canvas.Dc(), RECT{5, 5, 35, 13}));
    EXPECT_EQ(canvas.Pixel(34, 12), RGB(0, 255, 0));
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(0, 255, 0));
    EXPECT_EQ(canvas.Pixel(35, 12), RGB(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(34, 13), RGB(255, 255, 255));
}

TEST(ImageFile, PngLoadedOverAJpegReplacesIt)
{
    rig::TempFolder folder;
    CImageFile file;
    ASSERT_TRUE(file.Load(WriteImage(folder, "photo.jpg", MakeJpeg({64, 48}))));
    EXPECT_EQ(file.GetSize().cx, 64);
    PngOptions png;
    png.width = 8;
    png.height = 6;
    png.solid = true;
    png.solidRgba[0] = 255;
    ASSERT_TRUE(file.Load(WriteImage(folder, "red.png", MakePng(png))));
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
    rig::TempFolder folder;
    const std::pair<std::string, std::string> files[] = {
        {"a.jpg", MakeJpeg({64, 48})}, {"a.gif", MakeGif({})}, {"a.bmp", MakeBmp({})}, {"a.png", MakePng({})}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        std::string path = WriteImage(folder, name, bytes);
        bool loaded = false;
        SIZE size = {};
        std::thread worker([&] {
            CImageFile file;
            loaded = file.Load(path);
            size = file.GetSize();
        });
        worker.join();
        EXPECT_TRUE(loaded);
        EXPECT_GT(size.cx, 0);
    }
}
