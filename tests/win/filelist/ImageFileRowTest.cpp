#include "filelist/ImageFileRow.h"

#include "app/Globals.h"
#include "filelist/RowText.h"
#include "framework/Handles.h"
#include "imaging/ImageFile.h"
#include "tests/fixtures/ImageBytes.h"
#include "tests/win/imaging/Canvas.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace fixtures;
using namespace testimages;

namespace {

struct Outcome {
    ImageFileRow row;
    bool decoded = false;
    SIZE decodedSize = {};
};

// The row the list would get, and what a full decode makes of the same file. Neither may
// leave the file open or GDI+ running.
Outcome RowAndDecode(const std::string& path)
{
    Outcome outcome;
    EXPECT_TRUE(ReadImageFileRow(path, outcome.row));
    {
        CImageFile file;
        outcome.decoded = file.Load(path);
        outcome.decodedSize = file.GetSize();
        Canvas canvas(8, 8);
        EXPECT_TRUE(file.Draw(canvas.Dc(), RECT{0, 0, 8, 8}));
    }
    EXPECT_FALSE(g_gdiplus.IsStarted());
    EXPECT_EQ(g_gdiplus.ImageCount(), 0);
    return outcome;
}

enum class Decode { Fails, MayVary };

void ExpectBadInput(const rig::TempFolder& folder, const std::string& name, const std::string& bytes,
                    const char* type, const char* dimensions, Decode decode = Decode::Fails)
{
    std::string path = WriteImage(folder, name, bytes);
    Outcome outcome = RowAndDecode(path);
    EXPECT_EQ(outcome.row.fileName, name);
    EXPECT_EQ(outcome.row.typeText, type);
    EXPECT_EQ(outcome.row.dimensions, dimensions);
    EXPECT_FALSE(outcome.row.createdTime.empty());
    EXPECT_EQ(outcome.row.filePath, path);
    if (decode == Decode::Fails) {
        EXPECT_FALSE(outcome.decoded);
        EXPECT_EQ(outcome.decodedSize.cx, 0);
    }
    EXPECT_TRUE(CanDelete(path)) << "the file was left open";
}

std::string HugePng()
{
    std::string png("\x89PNG\r\n\x1A\n", 8);
    std::string ihdr;
    PutBe32(ihdr, 100000);
    PutBe32(ihdr, 100000);
    ihdr += std::string("\x08\x06\0\0\0", 5);
    PutPngChunk(png, "IHDR", ihdr);
    PutPngChunk(png, "IDAT", StoredZlib(std::string(1000, '\0')));
    PutPngChunk(png, "IEND", std::string());
    return png;
}

} // namespace

TEST(ImageFileRow, ZeroByteFile) { ExpectBadInput(rig::TempFolder(), "empty.jpg", "", "Others", "0 X 0"); }

TEST(ImageFileRow, OneByteFile) { ExpectBadInput(rig::TempFolder(), "one.bmp", "B", "Others", "0 X 0"); }

TEST(ImageFileRow, BitmapSignatureFollowedByGarbage)
{
    ExpectBadInput(rig::TempFolder(), "garbage.bmp", "BM\x01\x02\x03 not a bitmap header at all", "BMP", "0 X 0");
}

TEST(ImageFileRow, PngWithTruncatedIhdr)
{
    ExpectBadInput(rig::TempFolder(), "cut.png", MakePng({}).substr(0, 20), "PNG", "0 X 0");
}

TEST(ImageFileRow, PngWithCorruptIhdrCrc)
{
    std::string png = MakePng({});
    png[30] = static_cast<char>(png[30] ^ 0x5A);
    // Wine's decoder reads past a wrong IHDR CRC; the row still trusts no such header.
    ExpectBadInput(rig::TempFolder(), "crc.png", png, "PNG", "0 X 0", Decode::MayVary);
}

TEST(ImageFileRow, JpegWithItsFrameHeaderCutOff)
{
    std::string jpeg = MakeJpeg({640, 480});
    ExpectBadInput(rig::TempFolder(), "cut.jpg", jpeg.substr(0, jpeg.find("\xFF\xC0") + 6), "JPG", "0 X 0");
}

TEST(ImageFileRow, PngClaimingAHundredThousandSquare)
{
    ExpectBadInput(rig::TempFolder(), "huge.png", HugePng(), "PNG", "100000 X 100000");
}

TEST(ImageFileRow, BitmapClaimingAHundredThousandSquare)
{
    std::string bmp = MakeBmp({4, 4, 24});
    bmp.replace(18, 8, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8));
    ExpectBadInput(rig::TempFolder(), "huge.bmp", bmp, "BMP", "100000 X 100000");
}

TEST(ImageFileRow, TextFileNamedGif)
{
    ExpectBadInput(rig::TempFolder(), "readme.gif", "This is plain text.\r\n", "Others", "0 X 0");
}

TEST(ImageFileRow, FileLockedAgainstReadingKeepsItsTimeOnly)
{
    rig::TempFolder folder;
    std::string path = WriteImage(folder, "locked.png", MakePng({}));
    {
        fw::unique_file lock(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        Outcome outcome = RowAndDecode(path);
        EXPECT_EQ(outcome.row.fileName, "");
        EXPECT_EQ(outcome.row.typeText, "Others");
        EXPECT_EQ(outcome.row.dimensions, "0 X 0");
        EXPECT_EQ(outcome.row.createdTime, ReadCreatedTimeText(path));
        EXPECT_FALSE(outcome.row.createdTime.empty());
        EXPECT_FALSE(outcome.decoded);
    }
    EXPECT_TRUE(CanDelete(path));
}

TEST(ImageFileRow, DirectoryGivenAsPath)
{
    rig::TempFolder folder;
    std::string path = folder.File("photos.jpg");
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    Outcome outcome = RowAndDecode(path);
    EXPECT_EQ(outcome.row.fileName, "");
    EXPECT_EQ(outcome.row.typeText, "Others");
    EXPECT_EQ(outcome.row.dimensions, "0 X 0");
    EXPECT_FALSE(outcome.row.createdTime.empty());
    EXPECT_FALSE(outcome.decoded);
    EXPECT_TRUE(::RemoveDirectoryA(path.c_str()));
}

TEST(ImageFileRow, MissingFileGivesNoRow)
{
    rig::TempFolder folder;
    ImageFileRow row;
    EXPECT_FALSE(ReadImageFileRow(folder.File("deleted.jpg"), row));
    EXPECT_FALSE(ReadImageFileRow("", row));
}

TEST(ImageFileRow, NewFileShowsTheCurrentLocalTime)
{
    rig::TempFolder folder;
    int64_t before = static_cast<int64_t>(std::time(nullptr));
    std::string path = WriteImage(folder, "new.gif", MakeGif({}));
    ImageFileRow row;
    ASSERT_TRUE(ReadImageFileRow(path, row));
    int64_t shown = ParseCreatedTime(row.createdTime);
    EXPECT_GE(shown, before - 2) << row.createdTime;
    EXPECT_LE(shown, static_cast<int64_t>(std::time(nullptr)) + 2) << row.createdTime;
}
