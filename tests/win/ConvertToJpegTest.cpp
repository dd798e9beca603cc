#include "app/Globals.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "video/ConvertToJpeg.h"

#include <gtest/gtest.h>

TEST(ConvertToJpeg, WritesAJpegFromEachDecodableKindAndLeavesTheSourceAlone)
{
    rig::TempFolder folder;
    struct Kind {
        const char* name;
        const wchar_t* mime;
    } kinds[] = {{"s.bmp", L"image/bmp"}, {"s.png", L"image/png"}, {"s.gif", L"image/gif"}};
    for (const Kind& kind : kinds) {
        std::string source = folder.File(kind.name);
        ASSERT_TRUE(rig::WriteImageFile(source, kind.mime, 40, 30, RGB(0, 128, 255)));
        std::string before = rig::ReadFileBytes(source);
        std::string frame = folder.File(std::string(kind.name) + ".jpg");
        EXPECT_TRUE(ConvertToJpeg(source, frame)) << kind.name;
        EXPECT_EQ(rig::ReadFileBytes(frame).substr(0, 2), "\xFF\xD8") << kind.name;
        EXPECT_EQ(rig::ReadFileBytes(source), before);
    }
    EXPECT_EQ(g_gdiplus.ImageCount(), 0);
}

TEST(ConvertToJpeg, FailsWithoutAFileForWhatCannotBeDecodedOrWritten)
{
    rig::TempFolder folder;
    ASSERT_TRUE(rig::WriteFileBytes(folder.File("text.png"), "not a picture"));
    EXPECT_FALSE(ConvertToJpeg(folder.File("text.png"), folder.File("a.jpg")));
    EXPECT_FALSE(ConvertToJpeg(folder.File("absent.bmp"), folder.File("b.jpg")));
    ASSERT_TRUE(rig::WriteImageFile(folder.File("ok.bmp"), L"image/bmp", 8, 8, RGB(1, 2, 3)));
    EXPECT_FALSE(ConvertToJpeg(folder.File("ok.bmp"), folder.File("no folder\\c.jpg")));
    EXPECT_EQ(::GetFileAttributesA(folder.File("a.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA(folder.File("b.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
}
