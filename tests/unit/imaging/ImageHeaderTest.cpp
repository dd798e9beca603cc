#include "imaging/ImageHeader.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace {

// "type ok width height", so one comparison shows every field.
std::string Read(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    std::string type = ImageTypeFromSignature(data, bytes.size());
    MemoryByteSource source(data, bytes.size());
    ImageHeaderInfo header;
    bool ok = ReadImageHeader(type, source, header);
    return type + (ok ? " ok " : " refused ") + std::to_string(header.size.width) + " " + std::to_string(header.size.height);
}

// A copy with the bytes at offset replaced.
std::string Patched(std::string bytes, size_t offset, const std::string& with)
{
    return bytes.replace(offset, with.size(), with);
}

} // namespace

// Each variant's size against the platform's decoders is pinned by the ImageFile component test.
TEST(ImageHeader, SizesAreReadAsClaimedUpToTheFormatsLimitAndCutOffOrDamagedHeadersAreRefused)
{
    const std::string bmp = fixtures::Bytes("bmp24.bmp");
    const std::string png = fixtures::Bytes("png-rgb8.png");
    const std::string jpeg = fixtures::Bytes("baseline.jpg");
    const size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    const std::tuple<std::string, size_t, const char*> headers[] = {
        {bmp, 14 + 20, "BMP"}, {png, 33, "PNG"}, {jpeg, sof + 2 + 8 + 3 * 3, "JPG"}, {fixtures::Bytes("still.gif"), 10, "GIF"}};
    for (const auto& [bytes, headerEnd, type] : headers)
        for (size_t length = 2; length < headerEnd; ++length)
            EXPECT_EQ(Read(bytes.substr(0, length)), type + std::string(" refused 0 0")) << length;
    for (size_t at = 8; at < 33; ++at)
        EXPECT_EQ(Read(Patched(png, at, std::string(1, static_cast<char>(png[at] ^ 0x10)))), "PNG refused 0 0") << at;

    // An IHDR whose CRC is made to match its claim.
    auto pngClaiming = [&](const std::string& size) {
        std::string claim = png.substr(0, 33).replace(16, 8, size);
        uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(claim.data()) + 12, 17);
        return claim.replace(29, 4, {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)});
    };
    const std::pair<std::string, std::string> cases[] = {
        // Stray and fill bytes ahead of a marker are passed over.
        {std::string(jpeg).insert(2, "\x12\x34\xFF\xFF\xFF", 5), "JPG ok 29 17"},
        {Patched(bmp, 18, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8)), "BMP ok 100000 100000"},
        {pngClaiming(std::string("\0\x01\x86\xA0\0\x01\x86\xA0", 8)), "PNG ok 100000 100000"},
        {pngClaiming(std::string("\x80\0\0\0\0\0\0\x01", 8)), "PNG refused 0 0"},
        // The second byte decides the type only when the first matches.
        {"MB", "Others refused 0 0"}, {"\x89\xD8", "Others refused 0 0"}, {"B", "Others refused 0 0"},
        {Patched(bmp, 26, "\x02"), "BMP refused 0 0"},
        {Patched(bmp, 18, std::string(4, '\0')), "BMP refused 0 0"},
        // Top-down rows cannot be run-length encoded.
        {Patched(Patched(fixtures::Bytes("bmp8.bmp"), 22, std::string("\xEF\xFF\xFF\xFF", 4)), 30, "\x01"), "BMP refused 0 0"},
        {Patched(jpeg, sof + 2, std::string("\0\x09", 2)), "JPG refused 0 0"},
        {"\xFF\xD8\xFF\xDA" + jpeg.substr(sof), "JPG refused 0 0"},
        {std::string("GIF90a\x10\0\x10\0", 10), "GIF refused 0 0"},
    };
    for (const auto& [bytes, header] : cases)
        EXPECT_EQ(Read(bytes), header) << &bytes - &cases[0].first;
}

namespace {

// "orientation date taken", e.g. "6 2024-05-06 07:08:09.250" or "1 none".
std::string Tags(const std::string& bytes)
{
    MemoryByteSource source(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ImageHeaderInfo header;
    ReadImageHeader(IMAGE_TYPE_JPG, source, header);
    const DateTaken& d = header.dateTaken;
    char date[32] = "none";
    if (d.known)
        std::snprintf(date, sizeof(date), "%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day, d.hour, d.minute,
                      d.second, d.millisecond);
    return std::to_string(header.orientation) + " " + date;
}

} // namespace

// Every broken tag is a photo without it; the bytes a camera may break are patched into the
// exiftool fixture, whose entries are big-endian: tag, type, count, value or offset.
TEST(ExifTags, ReadInTheHeaderPassAndBrokenOnesAreAbsent)
{
    using fixtures::Bytes;
    const std::string mm = Bytes("exif-mm.jpg");
    const size_t app1 = mm.find("\xFF\xE1");
    const size_t tiff = mm.find(std::string("MM\0*", 4));
    const size_t orientation = mm.find(std::string("\x01\x12\0\x03\0\0\0\x01", 8));
    const size_t exifIfd = mm.find(std::string("\x87\x69\0\x04\0\0\0\x01", 8));
    const size_t date = mm.find(std::string("\x90\x03\0\x02\0\0\0\x14", 8));
    ASSERT_LT(std::max({app1, tiff, orientation, exifIfd, date}), mm.size());
    const std::string good = "6 2024-05-06 07:08:09.250";
    const std::pair<std::string, std::string> cases[] = {
        {mm, good},
        {Bytes("exif-ii.jpg"), "8 2020-02-29 23:59:59.000"},
        {Bytes("baseline.jpg"), "1 none"},
        {Bytes("exif.jpg"), "1 none"},  // an Exif segment with no TIFF structure in it
        {Bytes("exif-zero.jpg"), "1 none"},
        {Bytes("exif-nine.jpg"), "1 none"},  // and a blank date
        {Bytes("exif-impossible.jpg"), "1 none"},
        {Patched(mm, tiff, "MI"), "1 none"},
        {Patched(mm, tiff + 8, "\xFF\xFF"), good},  // entries run to the segment's end
        {Patched(mm, orientation + 4, "\x7F\xFF\xFF\xFF"), "1 2024-05-06 07:08:09.250"},
        {Patched(mm, exifIfd + 8, "\xFF\xFF\xFF\xF0"), "6 none"},
        {Patched(mm, exifIfd + 8, std::string("\0\0\0\x08", 4)), "6 none"},  // back to IFD0
        {Patched(mm, date + 8, "\xFF\xFF\xFF\xFF"), "6 none"},
        {Patched(mm, app1 + 2, std::string("\0\x18", 2)), "1 none"},  // the segment ends inside IFD0
        {mm.substr(0, app1 + 60), "1 none"},                          // the file ends inside it
    };
    for (const auto& [bytes, tags] : cases)
        EXPECT_EQ(Tags(bytes), tags) << &bytes - &cases[0].first;
}

TEST(ExifTags, CaptureTimesCountAcrossMonthsYearsAndLeapDays)
{
    auto at = [](DateTaken date) { return DateTakenMilliseconds(date); };
    EXPECT_EQ(at({true, 2024, 3, 1, 0, 0, 0, 0}) - at({true, 2024, 2, 28, 23, 59, 59, 500}), 86400500);
    EXPECT_EQ(at({true, 2000, 1, 1, 0, 0, 0, 0}) - at({true, 1999, 12, 31, 23, 59, 59, 999}), 1);
    EXPECT_EQ(at({true, 2100, 3, 1, 0, 0, 0, 0}) - at({true, 2100, 2, 28, 0, 0, 0, 0}), 86400000);
}
