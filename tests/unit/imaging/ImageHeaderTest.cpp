#include "imaging/ImageHeader.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

namespace {

// "type ok width height", so one comparison shows every field.
std::string Read(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    std::string type = ImageTypeFromSignature(data, bytes.size());
    MemoryByteSource source(data, bytes.size());
    ImageDimensions size;
    bool ok = ReadImageDimensions(type, source, size);
    return type + (ok ? " ok " : " refused ") + std::to_string(size.width) + " " + std::to_string(size.height);
}

std::string Refused(const char* type)
{
    return std::string(type) + " refused 0 0";
}

// A copy with the bytes at offset replaced.
std::string Patched(std::string bytes, size_t offset, const std::string& with)
{
    return bytes.replace(offset, with.size(), with);
}

void ExpectEveryPrefixRefused(const std::string& bytes, size_t headerEnd, const char* type)
{
    for (size_t length = 2; length < headerEnd; ++length)
        EXPECT_EQ(Read(bytes.substr(0, length)), Refused(type)) << length;
}

} // namespace

TEST(ImageSignature, SecondByteDecidesAndFirstMustMatch)
{
    const std::pair<std::string, const char*> cases[] = {
        {"BM", "BMP"}, {"\xFF\xD8\xFF", "JPG"}, {"GI", "GIF"}, {"\x89P", "PNG"}, {"CM", "Others"},
        {"MB", "Others"}, {"\x89\xD8", "Others"}, {"B", "Others"}, {"", "Others"}};
    for (const auto& [bytes, type] : cases)
        EXPECT_STREQ(ImageTypeFromSignature(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), type) << bytes;
}

// Each variant's size against the platform's decoders is pinned by the ImageFile component test.
TEST(ImageHeader, ClaimsAreReportedAsTheHeaderSaysUpToTheFormatsLimit)
{
    // Stray and fill bytes ahead of a marker are passed over.
    std::string jpeg = fixtures::Bytes("baseline.jpg");
    EXPECT_EQ(Read(jpeg.insert(2, "\x12\x34\xFF\xFF\xFF", 5)), "JPG ok 29 17");
    std::string bmp = fixtures::Bytes("bmp24.bmp");
    EXPECT_EQ(Read(Patched(bmp, 18, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8))), "BMP ok 100000 100000");
    // An IHDR whose CRC is made to match its claim.
    auto pngClaiming = [](const std::string& size) {
        std::string png = fixtures::Bytes("png-rgb8.png").substr(0, 33);
        png.replace(16, 8, size);
        uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(png.data()) + 12, 17);
        return png.replace(29, 4, {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)});
    };
    EXPECT_EQ(Read(pngClaiming(std::string("\0\x01\x86\xA0\0\x01\x86\xA0", 8))), "PNG ok 100000 100000");
    EXPECT_EQ(Read(pngClaiming(std::string("\x80\0\0\0\0\0\0\x01", 8))), Refused("PNG"));
}

TEST(ImageHeader, CutOffOrDamagedHeadersAreRefused)
{
    std::string bmp = fixtures::Bytes("bmp24.bmp");
    ExpectEveryPrefixRefused(bmp, 14 + 20, "BMP");
    const std::string badBitmaps[] = {
        "BM this is not a bitmap at all, only words", "BM", Patched(bmp, 26, "\x02"), Patched(bmp, 28, "\x07"),
        Patched(bmp, 18, std::string(4, '\0')),
        // Top-down rows cannot be run-length encoded.
        Patched(Patched(fixtures::Bytes("bmp8.bmp"), 22, std::string("\xEF\xFF\xFF\xFF", 4)), 30, "\x01")};
    for (const std::string& bad : badBitmaps)
        EXPECT_EQ(Read(bad), Refused("BMP"));

    std::string png = fixtures::Bytes("png-rgb8.png");
    ExpectEveryPrefixRefused(png, 33, "PNG");
    for (size_t at = 8; at < 33; ++at)
        EXPECT_EQ(Read(Patched(png, at, std::string(1, static_cast<char>(png[at] ^ 0x10)))), Refused("PNG")) << at;

    std::string jpeg = fixtures::Bytes("baseline.jpg");
    size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    ExpectEveryPrefixRefused(jpeg, sof + 2 + 8 + 3 * 3, "JPG");
    EXPECT_EQ(Read(Patched(jpeg, sof + 2, std::string("\0\x09", 2))), Refused("JPG"));
    EXPECT_EQ(Read("\xFF\xD8\xFF\xDA" + jpeg.substr(sof)), Refused("JPG"));

    ExpectEveryPrefixRefused(fixtures::Bytes("still.gif"), 10, "GIF");
    EXPECT_EQ(Read(std::string("GIF90a\x10\0\x10\0", 10)), Refused("GIF"));
}
