#include "app/FileSystem.h"
#include "app/IniSettings.h"
#include "rig/Media.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

// Each key takes its stored value held in range, or its default; the temporary folder is
// created and ended with a backslash, or falls back to one beside the program.
TEST(IniSettings, StoredValuesAreHeldInRangeAndTheTempPathIsMadeOrFallsBack)
{
    rig::TempFolder folder;
    const std::string iniPath = folder.File("lumvextimelapsevideo.ini");
    CIniSettings none;
    none.Load(folder.Path());
    EXPECT_FALSE(FileExists(iniPath)) << "loading must not write the settings file";
    EXPECT_EQ(none.DestinationFile, "");
    const std::string fallback = folder.Path() + "temp\\";
    const std::string existing = folder.Path() + "frames";
    const std::string file = folder.File("not-a-folder.txt");
    ASSERT_TRUE(::CreateDirectoryA(existing.c_str(), nullptr));
    ASSERT_TRUE(rig::WriteFileBytes(file, "x"));
    struct Case {
        std::string content;
        std::vector<int> values;  // rate, type, size, sort, deflicker, framing, every N-th, quality, stamp
        std::string tempPath;
    } cases[] = {
        {"FrameRate=0\r\nVideoType=-5\r\nVideoSize=9\r\nSortByTime=2\r\nDeflicker=7\r\nFraming=0", {1, 1, 8, 1, 1, 1, 1, 2, 0}, fallback},
        {"FrameRate=99\r\nVideoType=3\r\nVideoSize=0\r\nDeflicker=abc\r\nFraming=4", {50, 3, 1, 0, 0, 3, 1, 2, 0}, fallback},
        {"FrameRate=\r\nVideoType=\r\nVideoSize=\r\nSortByTime=\r\nDeflicker=\r\nFraming=", {25, 1, 1, 0, 0, 1, 1, 2, 0}, fallback},
        {"FrameRate=12abc\r\nVideoType=4\r\nVideoSize=-1\r\nDeflicker=0\r\nFraming=3abc", {12, 3, 1, 0, 0, 3, 1, 2, 0}, fallback},
        {"EveryNth=0\r\nQuality=0\r\nStamp=-1", {25, 1, 1, 0, 0, 1, 1, 1, 0}, fallback},
        {"EveryNth=500\r\nQuality=4\r\nStamp=3", {25, 1, 1, 0, 0, 1, 100, 3, 2}, fallback},
        {"EveryNth=3x\r\nQuality=\r\nStamp=1", {25, 1, 1, 0, 0, 1, 3, 2, 1}, fallback},
        // A file from before the flicker box, the sizes, framing, every N-th, quality and stamp reads as before.
        {"TempPath=\r\nVideoType=2\r\nFrameRate=10\r\nVideoSize=6\r\nSortByTime=1", {10, 2, 6, 1, 0, 1, 1, 2, 0}, fallback},
        {"FrameRate=" + std::string(100000, '7'), {50, 1, 1, 0, 0, 1, 1, 2, 0}, fallback},
        {"TempPath=" + existing, {25, 1, 1, 0, 0, 1, 1, 2, 0}, existing + "\\"},
        {"TempPath=" + folder.Path() + "one\\two\\", {25, 1, 1, 0, 0, 1, 1, 2, 0}, folder.Path() + "one\\two\\"},
        {"TempPath=" + file, {25, 1, 1, 0, 0, 1, 1, 2, 0}, fallback},
        // Cut at 1023 characters, which no folder can be created at.
        {"TempPath=" + folder.Path() + std::string(1500, 'a'), {25, 1, 1, 0, 0, 1, 1, 2, 0}, fallback},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content.substr(0, 80));
        ASSERT_TRUE(rig::WriteFileBytes(iniPath, "[VIDEO]\r\n" + c.content + "\r\n"));
        CIniSettings settings;
        settings.Load(folder.Path());
        EXPECT_EQ((std::vector<int>{settings.FrameRate, settings.VideoType, settings.VideoSize, settings.SortByTime,
                                    settings.Deflicker, settings.Framing, settings.EveryNth, settings.Quality,
                                    settings.Stamp}),
                  c.values);
        EXPECT_EQ(settings.TempPath, c.tempPath);
        EXPECT_TRUE(::PathIsDirectoryA(c.tempPath.c_str()));
    }
}

// Where "temp" cannot be made beside the program, or the program's folder cannot be written
// at all (a volume mounted read-only, which stops root too), the temporary folder is the
// user's own one and the settings file stays where it is, unwritten.
TEST(IniSettings, AProgramFolderThatCannotBeWrittenStillGivesATemporaryFolderThatWorks)
{
    char localAppData[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("LOCALAPPDATA", localAppData, MAX_PATH), 0u);
    const std::string expected = std::string(localAppData) + "\\Lumvex Time Lapse Video Tools\\temp\\";
    rig::TempFolder folder;
    ASSERT_TRUE(rig::WriteFileBytes(folder.File("temp"), "not a folder"));
    CIniSettings blocked;
    blocked.Load(folder.Path());
    EXPECT_EQ(blocked.TempPath, expected);
    EXPECT_TRUE(::PathIsDirectoryA(expected.c_str()));

    rig::SmallVolume volume(folder.File("read-only"), "1m");
    if (!volume.Mounted())
        GTEST_SKIP() << "mounting a volume needs root";
    const std::string program = folder.File("read-only\\");
    ASSERT_TRUE(::CreateDirectoryA((program + "temp").c_str(), nullptr));
    ASSERT_TRUE(rig::WriteFileBytes(program + "lumvextimelapsevideo.ini", "[VIDEO]\r\nFrameRate=12\r\n"));
    ASSERT_TRUE(volume.MakeReadOnly());
    CIniSettings readOnly;
    readOnly.Load(program);
    EXPECT_EQ(readOnly.TempPath, expected);
    EXPECT_EQ(readOnly.FrameRate, 12);
    EXPECT_EQ(readOnly.FilePath(), program + "lumvextimelapsevideo.ini");
    EXPECT_FALSE(readOnly.Save());
}
