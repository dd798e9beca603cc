#include "app/FileSystem.h"
#include "app/IniSettings.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

namespace {

bool IsFolder(const std::string& path)
{
    return ::PathIsDirectoryA(path.c_str()) != FALSE;
}

class IniSettingsTest : public ::testing::Test {
protected:
    std::string IniPath() const { return m_folder.File("lumvextimelapsevideo.ini"); }
    CIniSettings Load(const std::string& content)
    {
        EXPECT_TRUE(rig::WriteFileBytes(IniPath(), content));
        CIniSettings settings;
        settings.Load(m_folder.Path());
        return settings;
    }

    rig::TempFolder m_folder;
};

} // namespace

// Each key takes the first value stored in its section, held in range, or its default; a
// damaged file still loads.
TEST_F(IniSettingsTest, StoredValuesAreClampedIntoRangeOrDefault)
{
    CIniSettings none;
    none.Load(m_folder.Path());
    EXPECT_FALSE(FileExists(IniPath())) << "loading must not write the settings file";
    EXPECT_EQ(none.DestinationFile, "");
    std::string garbage(65536, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(i * 7919 % 256);
    struct Case {
        std::string content;
        int rate, type, size, sort, deflicker, framing;
    } cases[] = {
        {garbage, 25, 1, 1, 0, 0, 1},
        {"[VIDEO]\r\n" + std::string(100000, 'x') + "\r\nFrameRate=99", 50, 1, 1, 0, 0, 1},
        {"[VIDEO]\r\nFrameRate=0\r\nVideoType=-5\r\nVideoSize=9\r\nSortByTime=2\r\nDeflicker=7\r\nFraming=0", 1, 1, 8, 1, 1, 1},
        {"[VIDEO]\r\nFrameRate=99\r\nVideoType=3\r\nVideoSize=0\r\nDeflicker=abc\r\nFraming=4", 50, 3, 1, 0, 0, 3},
        {"[VIDEO]\r\nFrameRate=abc\r\nVideoType=2\r\nVideoSize=8\r\nDeflicker=1\r\nFraming=2", 1, 2, 8, 0, 1, 2},
        {"[VIDEO]\r\nFrameRate=\r\nVideoType=\r\nVideoSize=\r\nSortByTime=\r\nDeflicker=\r\nFraming=", 25, 1, 1, 0, 0, 1},
        {"[VIDEO]\r\nFrameRate=12abc\r\nVideoType=4\r\nVideoSize=-1\r\nDeflicker=0\r\nFraming=3abc", 12, 3, 1, 0, 0, 3},
        // A file from before the flicker box, the larger sizes and the framing reads as it always did.
        {"[VIDEO]\r\nTempPath=\r\nVideoType=2\r\nFrameRate=10\r\nVideoSize=6\r\nSortByTime=1", 10, 2, 6, 1, 0, 1},
        {"[VIDEO]\r\nFrameRate=" + std::string(100000, '7'), 50, 1, 1, 0, 0, 1},
        {"FrameRate=9\r\nVideoType=2\r\n", 25, 1, 1, 0, 0, 1},
        {"[VIDEO]\r\nFrameRate=9\r\nFrameRate=40\r\n", 9, 1, 1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        CIniSettings settings = Load(c.content + "\r\n");
        SCOPED_TRACE(c.content.substr(0, 80));
        EXPECT_EQ(settings.FrameRate, c.rate);
        EXPECT_EQ(settings.VideoType, c.type);
        EXPECT_EQ(settings.VideoSize, c.size);
        EXPECT_EQ(settings.SortByTime, c.sort);
        EXPECT_EQ(settings.Deflicker, c.deflicker);
        EXPECT_EQ(settings.Framing, c.framing);
    }
}

TEST_F(IniSettingsTest, TempPathIsCreatedEndedWithABackslashOrFallsBack)
{
    const std::string fallback = m_folder.Path() + "temp\\";
    const std::string existing = m_folder.Path() + "frames";
    const std::string file = m_folder.File("not-a-folder.txt");
    ASSERT_TRUE(::CreateDirectoryA(existing.c_str(), nullptr));
    ASSERT_TRUE(rig::WriteFileBytes(file, "x"));
    const std::pair<std::string, std::string> cases[] = {
        {existing, existing + "\\"},
        {m_folder.Path() + "one\\two\\", m_folder.Path() + "one\\two\\"},
        {"Q:\\no-such-drive\\frames\\", fallback},
        {file, fallback},
        {"", fallback},
        // Cut at 1023 characters, which no folder can be created at.
        {m_folder.Path() + std::string(1500, 'a'), fallback},
    };
    for (const auto& [stored, expected] : cases) {
        EXPECT_EQ(Load("[VIDEO]\r\nTempPath=" + stored + "\r\n").TempPath, expected) << stored;
        EXPECT_TRUE(IsFolder(expected)) << stored;
    }
}

TEST_F(IniSettingsTest, SaveWritesTheSevenKeysInOrderAndKeepsOtherContent)
{
    CIniSettings settings;
    settings.Load(m_folder.Path());
    settings.TempPath = "C:\\frames\\";
    settings.DestinationFile = "C:\\out.mp4";
    settings.VideoType = 2;
    settings.FrameRate = 10;
    settings.VideoSize = 3;
    settings.SortByTime = 2;
    settings.Deflicker = 7;
    settings.Framing = 2;
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(rig::ReadFileBytes(IniPath()), "[VIDEO]\r\nTempPath=C:\\frames\\\r\nVideoType=2\r\nFrameRate=10\r\nVideoSize=3\r\n"
                                             "SortByTime=1\r\nDeflicker=1\r\nFraming=2\r\n");

    ASSERT_TRUE(rig::WriteFileBytes(IniPath(), "; kept\r\n[OTHER]\r\nkey=value\r\n[VIDEO]\r\nFrameRate=5\r\n"));
    ASSERT_TRUE(settings.Save());
    std::string content = rig::ReadFileBytes(IniPath());
    EXPECT_NE(content.find("; kept\r\n[OTHER]\r\nkey=value"), std::string::npos);
    EXPECT_NE(content.find("FrameRate=10"), std::string::npos);
    EXPECT_EQ(content.find("FrameRate=5"), std::string::npos);
}
