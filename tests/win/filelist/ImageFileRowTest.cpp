#include "filelist/ImageFileRow.h"

#include "app/Globals.h"
#include "filelist/RowText.h"
#include "framework/Handles.h"
#include "imaging/ImageFile.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

#include <ctime>

// The row shows what the header says, or Others; a full decode fails; neither keeps the file
// open or GDI+ running.
TEST(ImageFileRow, DamagedOrHugeFilesGiveTheirHeadersRowAndNoPicture)
{
    std::string jpeg = fixtures::Bytes("baseline.jpg");
    struct Case {
        const char* name;
        std::string bytes;
        const char* type;
        const char* dimensions;
    } cases[] = {
        {"empty.jpg", "", "Others", "0 X 0"},
        {"readme.gif", "This is plain text.\r\n", "Others", "0 X 0"},
        {"garbage.bmp", "BM\x01\x02\x03 not a bitmap header at all", "BMP", "0 X 0"},
        {"cut.jpg", jpeg.substr(0, jpeg.find("\xFF\xC0") + 6), "JPG", "0 X 0"},
        {"huge.bmp", fixtures::Bytes("bmp24.bmp").replace(18, 8, "\xA0\x86\x01\x00\xA0\x86\x01\x00", 8), "BMP", "100000 X 100000"},
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
        EXPECT_FALSE(CImageFile().Load(path)) << c.name;
        EXPECT_FALSE(g_gdiplus.IsStarted()) << c.name;
        EXPECT_TRUE(::DeleteFileA(path.c_str())) << c.name << " was left open";
    }
}

// A file locked against reading keeps only its created time, the current local time; a
// missing path gives no row.
TEST(ImageFileRow, ALockedFileKeepsOnlyItsTimeAndAMissingOneGivesNoRow)
{
    rig::TempFolder folder;
    const std::string locked = folder.File("locked.png");
    int64_t before = static_cast<int64_t>(std::time(nullptr));
    ASSERT_TRUE(rig::WriteFileBytes(locked, fixtures::Bytes("red.png")));
    fw::unique_file lock(::CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    ImageFileRow row;
    ASSERT_TRUE(ReadImageFileRow(locked, row));
    EXPECT_EQ(row.fileName, "");
    EXPECT_EQ(row.typeText, "Others");
    EXPECT_EQ(row.dimensions, "0 X 0");
    int64_t shown = ParseCreatedTime(row.createdTime);
    EXPECT_GE(shown, before - 2) << row.createdTime;
    EXPECT_LE(shown, static_cast<int64_t>(std::time(nullptr)) + 2) << row.createdTime;
    EXPECT_FALSE(CImageFile().Load(locked));
    EXPECT_FALSE(ReadImageFileRow(folder.File("deleted.jpg"), row));
    EXPECT_FALSE(ReadImageFileRow("", row));
}
