#include "imaging/ImageHeader.h"
#include "tests/fixtures/ImageBytes.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

struct HeaderResult {
    std::string type;
    bool ok = false;
    int width = 0;
    int height = 0;
};

HeaderResult Read(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    HeaderResult result;
    result.type = ImageTypeFromSignature(data, bytes.size());
    MemoryByteSource source(data, bytes.size());
    ImageDimensions size;
    result.ok = ReadImageDimensions(result.type, source, size);
    result.width = size.width;
    result.height = size.height;
    return result;
}

void ExpectSize(const std::string& bytes, const char* type, int width, int height)
{
    HeaderResult r = Read(bytes);
    EXPECT_EQ(r.type, type);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.width, width);
    EXPECT_EQ(r.height, height);
}

void ExpectRejected(const std::string& bytes, const char* type)
{
    HeaderResult r = Read(bytes);
    EXPECT_EQ(r.type, type);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.height, 0);
}

// Every prefix shorter than the header must be refused without reading past its end.
void ExpectEveryPrefixBefore(const std::string& bytes, size_t headerEnd, const char* type)
{
    for (size_t length = 2; length < headerEnd; ++length) {
        SCOPED_TRACE(length);
        ExpectRejected(bytes.substr(0, length), type);
    }
}

} // namespace

TEST(ImageSignature, SecondByteDecidesAndFirstMustMatch)
{
    auto type = [](std::initializer_list<uint8_t> bytes) {
        std::vector<uint8_t> v(bytes);
        return std::string(ImageTypeFromSignature(v.data(), v.size()));
    };
    EXPECT_EQ(type({0x42, 0x4D}), "BMP");
    EXPECT_EQ(type({0xFF, 0xD8, 0xFF}), "JPG");
    EXPECT_EQ(type({0x47, 0x49}), "GIF");
    EXPECT_EQ(type({0x89, 0x50}), "PNG");
    EXPECT_EQ(type({0x43, 0x4D}), "Others");
    EXPECT_EQ(type({0x4D, 0x42}), "Others");
    EXPECT_EQ(type({0x89, 0xD8}), "Others");
    EXPECT_EQ(type({0x42}), "Others");
    EXPECT_EQ(type({}), "Others");
}

TEST(ImageHeader, Crc32MatchesTheStandardCheckValue)
{
    const char text[] = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
}

TEST(ImageHeader, BmpOfEveryDepthAndLayout)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        ExpectSize(MakeBmp({37, 21, bits}), "BMP", 37, 21);
        ExpectSize(MakeBmp({37, 21, bits, true}), "BMP", 37, 21);
        ExpectSize(MakeBmp({37, 21, bits, false, false, 124}), "BMP", 37, 21);
    }
    ExpectSize(MakeBmp({300, 2, 16, false, true}), "BMP", 300, 2);
    ExpectSize(MakeBmp({5, 7, 8, false, false, 12}), "BMP", 5, 7);
}

TEST(ImageHeader, PngOfEveryColourTypeDepthAndInterlace)
{
    const std::pair<int, int> variants[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                            {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    for (auto [colorType, depth] : variants) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << colorType << "/" << depth << "/" << interlaced);
            PngOptions o;
            o.width = 19;
            o.height = 11;
            o.colorType = colorType;
            o.bitDepth = depth;
            o.interlaced = interlaced;
            ExpectSize(MakePng(o), "PNG", 19, 11);
        }
    }
}

TEST(ImageHeader, GifTakesTheLogicalScreenNotTheFirstFrame)
{
    GifOptions o;
    o.width = 40;
    o.height = 30;
    o.frames = {GifFrame{5, 6, 10, 12}, GifFrame(), GifFrame()};
    ExpectSize(MakeGif(o), "GIF", 40, 30);
}

TEST(ImageHeader, JpegBaselineProgressiveGreyAndDensity)
{
    for (bool progressive : {false, true}) {
        for (int components : {1, 3}) {
            JpegOptions o;
            o.width = 123;
            o.height = 45;
            o.components = components;
            o.progressive = progressive;
            o.densityDpi = 300;
            ExpectSize(MakeJpeg(o), "JPG", 123, 45);
        }
    }
}

TEST(ImageHeader, JpegExifThumbnailIsNotTakenForThePicture)
{
    JpegOptions o;
    o.width = 4000;
    o.height = 3000;
    o.exif = true;
    ExpectSize(MakeJpeg(o), "JPG", 4000, 3000);
}

TEST(ImageHeader, JpegStrayAndFillBytesBeforeAMarkerAreSkipped)
{
    std::string jpeg = MakeJpeg({64, 48});
    jpeg.insert(2, "\x12\x34\xFF\xFF\xFF", 5);
    ExpectSize(jpeg, "JPG", 64, 48);
}

TEST(ImageHeader, EmptyAndOneByteFilesAreOthers)
{
    ExpectRejected(std::string(), "Others");
    ExpectRejected(std::string("B"), "Others");
    ExpectRejected(std::string("\x89", 1), "Others");
}

TEST(ImageHeader, BmpSignatureFollowedByGarbage)
{
    ExpectRejected("BM this is not a bitmap at all, only words", "BMP");
    ExpectRejected("BM", "BMP");
    std::string bmp = MakeBmp({10, 10, 24});
    ExpectEveryPrefixBefore(bmp, 14 + 20, "BMP");
    std::string badPlanes = bmp;
    badPlanes[26] = 2;
    ExpectRejected(badPlanes, "BMP");
    std::string badDepth = bmp;
    badDepth[28] = 7;
    ExpectRejected(badDepth, "BMP");
    std::string topDownRle = MakeBmp({10, 10, 8, true});
    topDownRle[30] = 1;
    ExpectRejected(topDownRle, "BMP");
    std::string zeroWidth = bmp;
    zeroWidth.replace(18, 4, std::string(4, '\0'));
    ExpectRejected(zeroWidth, "BMP");
}

TEST(ImageHeader, PngTruncatedOrCorruptIhdr)
{
    std::string png = MakePng({});
    ExpectEveryPrefixBefore(png, 33, "PNG");
    for (size_t at = 8; at < 33; ++at) {
        SCOPED_TRACE(at);
        std::string corrupt = png;
        corrupt[at] = static_cast<char>(corrupt[at] ^ 0x10);
        ExpectRejected(corrupt, "PNG");
    }
}

TEST(ImageHeader, JpegWithItsFrameHeaderCutOff)
{
    std::string jpeg = MakeJpeg({640, 480});
    size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    ExpectEveryPrefixBefore(jpeg, sof + 2 + 8 + 3 * 3, "JPG");
    std::string badLength = jpeg;
    badLength[sof + 3] = 9;
    ExpectRejected(badLength, "JPG");
    std::string scanFirst = "\xFF\xD8\xFF\xDA" + jpeg.substr(sof);
    ExpectRejected(scanFirst, "JPG");
}

TEST(ImageHeader, HugeClaimsAreReportedAsTheHeaderSays)
{
    PngOptions png;
    png.width = 100000;
    png.height = 100000;
    std::string pngHeader = MakePng({}).substr(0, 8);
    std::string ihdr;
    PutBe32(ihdr, 100000);
    PutBe32(ihdr, 100000);
    ihdr += std::string("\x08\x02\0\0\0", 5);
    PutPngChunk(pngHeader, "IHDR", ihdr);
    ExpectSize(pngHeader, "PNG", 100000, 100000);

    std::string bmp = MakeBmp({1, 1, 24}).substr(0, 54);
    bmp.replace(18, 8, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8));
    ExpectSize(bmp, "BMP", 100000, 100000);
}

TEST(ImageHeader, PngDimensionsBeyondTheFormatsLimitAreRefused)
{
    std::string png = MakePng({}).substr(0, 8);
    std::string ihdr;
    PutBe32(ihdr, 0x80000000u);
    PutBe32(ihdr, 1);
    ihdr += std::string("\x08\x02\0\0\0", 5);
    PutPngChunk(png, "IHDR", ihdr);
    ExpectRejected(png, "PNG");
}

TEST(ImageHeader, TextNamedGifIsOthersAndGifSignatureNeedsItsVersion)
{
    ExpectRejected("Hello, this is a text file.\r\n", "Others");
    ExpectRejected("GIF90a\x10\0\x10\0", "GIF");
    GifOptions o;
    ExpectEveryPrefixBefore(MakeGif(o), 10, "GIF");
}
