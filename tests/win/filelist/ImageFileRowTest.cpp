#include "filelist/ImageFileRow.h"

#include "app/Globals.h"
#include "filelist/RowText.h"
#include "framework/Handles.h"
#include "imaging/ImageFile.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

// The fixture's bytes with those at offset replaced.
std::string Patched(const char* fixture, size_t offset, const std::string& with)
{
    return fixtures::Bytes(fixture).replace(offset, with.size(), with);
}

// A PNG whose header claims 100000 x 100000, its CRC made to match.
std::string HugePng()
{
    std::string png = Patched("png-rgb8.png", 16, std::string("\0\x01\x86\xA0\0\x01\x86\xA0", 8));
    uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(png.data()) + 12, 17);
    return png.replace(29, 4, {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)});
}

} // namespace

// The row shows what the header says, or Others; a full decode fails; neither keeps the file
// open or GDI+ running.
TEST(ImageFileRow, DamagedOrHugeFilesGiveTheirHeadersRowAndNoPicture)
{
    std::string png = fixtures::Bytes("png-rgb8.png");
    std::string jpeg = fixtures::Bytes("baseline.jpg");
    std::string badCrc = png;
    badCrc[30] = static_cast<char>(badCrc[30] ^ 0x5A);
    struct Case {
        const char* name;
        std::string bytes;
        const char* type;
        const char* dimensions;
    } cases[] = {
        {"empty.jpg", "", "Others", "0 X 0"},
        {"one.bmp", "B", "Others", "0 X 0"},
        {"readme.gif", "This is plain text.\r\n", "Others", "0 X 0"},
        {"garbage.bmp", "BM\x01\x02\x03 not a bitmap header at all", "BMP", "0 X 0"},
        {"cut.png", png.substr(0, 20), "PNG", "0 X 0"},
        {"crc.png", badCrc, "PNG", "0 X 0"},
        {"cut.jpg", jpeg.substr(0, jpeg.find("\xFF\xC0") + 6), "JPG", "0 X 0"},
        {"huge.png", HugePng(), "PNG", "100000 X 100000"},
        {"huge.bmp", Patched("bmp24.bmp", 18, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8)), "BMP", "100000 X 100000"},
    };
    rig::TempFolder folder;
    for (const Case& c : cases) {
        std::string path = folder.File(c.name);
        ASSERT_TRUE(rig::WriteFileBytes(path, c.bytes));
        ImageFileRow row;
        ASSERT_TRUE(ReadImageFileRow(path, row)) << c.name;
        EXPECT_EQ(row.fileName, c.name);
        EXPECT_EQ(row.typeText, c.type) << c.name;
        EXPECT_EQ(row.dimensions, c.dimensions) << c.name;
        EXPECT_FALSE(row.createdTime.empty()) << c.name;
        EXPECT_EQ(row.filePath, path);
        bool decoded = CImageFile().Load(path);
        // Wine's decoder reads past a wrong IHDR CRC; the row still trusts no such header.
        EXPECT_TRUE(!decoded || c.name == std::string("crc.png")) << c.name;
        EXPECT_FALSE(g_gdiplus.IsStarted()) << c.name;
        EXPECT_TRUE(::DeleteFileA(path.c_str())) << c.name << " was left open";
    }
}

// A file locked against reading and a folder keep only their created time, the current
// local time for both; a missing path gives no row.
TEST(ImageFileRow, UnreadablePathsKeepOnlyTheirTimeAndMissingOnesGiveNoRow)
{
    rig::TempFolder folder;
    const std::string locked = folder.File("locked.png");
    const std::string directory = folder.File("photos.jpg");
    int64_t before = static_cast<int64_t>(std::time(nullptr));
    ASSERT_TRUE(rig::WriteFileBytes(locked, fixtures::Bytes("red.png")));
    ASSERT_TRUE(::CreateDirectoryA(directory.c_str(), nullptr));
    fw::unique_file lock(::CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    for (const std::string& path : {locked, directory}) {
        ImageFileRow row;
        ASSERT_TRUE(ReadImageFileRow(path, row)) << path;
        EXPECT_EQ(row.fileName, "");
        EXPECT_EQ(row.typeText, "Others");
        EXPECT_EQ(row.dimensions, "0 X 0");
        int64_t shown = ParseCreatedTime(row.createdTime);
        EXPECT_GE(shown, before - 2) << row.createdTime;
        EXPECT_LE(shown, static_cast<int64_t>(std::time(nullptr)) + 2) << row.createdTime;
        EXPECT_FALSE(CImageFile().Load(path)) << path;
    }
    ImageFileRow row;
    EXPECT_FALSE(ReadImageFileRow(folder.File("deleted.jpg"), row));
    EXPECT_FALSE(ReadImageFileRow("", row));
}
