#include "app/Globals.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "video/ConvertToJpeg.h"

#include <gtest/gtest.h>

// What cannot be decoded is skipped without a word; what cannot be written stops the job.
// Either way no file is left, the source is as it was, and GDI+ is down again afterwards.
TEST(ConvertToJpeg, TellsAnUnreadableSourceFromAFailedWriteAndLeavesNoFile)
{
    rig::TempFolder folder;
    ASSERT_TRUE(rig::WriteFileBytes(folder.File("text.png"), "not a picture"));
    ASSERT_TRUE(rig::WriteImageFile(folder.File("ok.bmp"), L"image/bmp", 8, 8, RGB(1, 2, 3)));
    std::string before = rig::ReadFileBytes(folder.File("ok.bmp"));
    struct Case {
        const char* source;
        const char* frame;
        FrameStatus status;
    } cases[] = {{"text.png", "a.jpg", FrameStatus::Unreadable},
                 {"absent.bmp", "b.jpg", FrameStatus::Unreadable},
                 {"ok.bmp", "no folder\\c.jpg", FrameStatus::WriteFailed},
                 {"ok.bmp", "d.jpg", FrameStatus::Written}};
    for (const Case& c : cases) {
        EXPECT_EQ(ConvertToJpeg(folder.File(c.source), folder.File(c.frame)).status, c.status) << c.frame;
        bool written = ::GetFileAttributesA(folder.File(c.frame).c_str()) != INVALID_FILE_ATTRIBUTES;
        EXPECT_EQ(written, c.status == FrameStatus::Written) << c.frame;
    }
    EXPECT_EQ(rig::ReadFileBytes(folder.File("d.jpg")).substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(rig::ReadFileBytes(folder.File("ok.bmp")), before);
    EXPECT_EQ(g_gdiplus.ImageCount(), 0);
    EXPECT_FALSE(g_gdiplus.IsStarted());
}
