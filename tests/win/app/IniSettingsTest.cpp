#include "app/FileSystem.h"
#include "app/IniSettings.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

namespace {

const char INI_NAME[] = "lumvextimelapsevideo.ini";

class IniSettingsTest : public ::testing::Test {
protected:
    std::string IniPath() const { return m_folder.File(INI_NAME); }
    void WriteIni(const std::string& content) { ASSERT_TRUE(rig::WriteFileBytes(IniPath(), content)); }
    CIniSettings LoadSettings()
    {
        CIniSettings settings;
        settings.Load(m_folder.Path());
        return settings;
    }
    bool IsFolder(const std::string& path) const { return ::PathIsDirectoryA(path.c_str()) != FALSE; }

    rig::TempFolder m_folder;
};

TEST_F(IniSettingsTest, MissingFileGivesDefaultsAndCreatesOnlyTheFallbackFolder)
{
    CIniSettings settings = LoadSettings();
    EXPECT_EQ(settings.VideoType, 1);
    EXPECT_EQ(settings.FrameRate, 25);
    EXPECT_EQ(settings.VideoSize, 1);
    EXPECT_EQ(settings.SortByTime, 0);
    EXPECT_EQ(settings.Deflicker, 0);
    EXPECT_EQ(settings.TempPath, m_folder.Path() + "temp\\");
    EXPECT_EQ(settings.DestinationFile, "");
    EXPECT_TRUE(IsFolder(settings.TempPath));
    EXPECT_FALSE(FileExists(IniPath())) << "loading must not write the settings file";
}

TEST_F(IniSettingsTest, StoredValuesAreClampedIntoRange)
{
    struct Case {
        const char* keys;
        int rate, type, size, sort, deflicker;
    };
    const Case cases[] = {
        {"FrameRate=0\r\nVideoType=-5\r\nVideoSize=9\r\nSortByTime=2\r\nDeflicker=7", 1, 1, 8, 1, 1},
        {"FrameRate=99\r\nVideoType=3\r\nVideoSize=0\r\nDeflicker=abc", 50, 3, 1, 0, 0},
        {"FrameRate=abc\r\nVideoType=2\r\nVideoSize=8\r\nDeflicker=1", 1, 2, 8, 0, 1},
        {"FrameRate=\r\nVideoType=\r\nVideoSize=\r\nSortByTime=\r\nDeflicker=", 25, 1, 1, 0, 0},
        {"FrameRate=12abc\r\nVideoType=4\r\nVideoSize=-1\r\nDeflicker=0", 12, 3, 1, 0, 0},
        // A file from before the flicker box and the larger sizes reads as it always did.
        {"TempPath=\r\nVideoType=2\r\nFrameRate=10\r\nVideoSize=6\r\nSortByTime=1", 10, 2, 6, 1, 0},
    };
    for (const Case& c : cases) {
        WriteIni(std::string("[VIDEO]\r\n") + c.keys + "\r\n");
        CIniSettings settings = LoadSettings();
        EXPECT_EQ(settings.FrameRate, c.rate) << c.keys;
        EXPECT_EQ(settings.VideoType, c.type) << c.keys;
        EXPECT_EQ(settings.VideoSize, c.size) << c.keys;
        EXPECT_EQ(settings.SortByTime, c.sort) << c.keys;
        EXPECT_EQ(settings.Deflicker, c.deflicker) << c.keys;
    }
}

TEST_F(IniSettingsTest, LongValuesAreCutTo1023Characters)
{
    std::string folder = m_folder.Path() + std::string(1500, 'a');
    WriteIni("[VIDEO]\r\nTempPath=" + folder + "\r\nFrameRate=" + std::string(100000, '7') + "\r\n");
    CIniFile file;
    file.SetPath(IniPath().c_str());
    EXPECT_EQ(file.ReadString("VIDEO", "TempPath", "").size(), 1023u);
    CIniSettings settings = LoadSettings();
    EXPECT_EQ(settings.FrameRate, 50);
    EXPECT_EQ(settings.TempPath, m_folder.Path() + "temp\\") << "a cut, uncreatable folder falls back";
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
        {file + "\\", fallback},
        {"", fallback},
    };
    for (const auto& [stored, expected] : cases) {
        WriteIni("[VIDEO]\r\nTempPath=" + stored + "\r\n");
        EXPECT_EQ(LoadSettings().TempPath, expected) << stored;
        EXPECT_TRUE(IsFolder(expected)) << stored;
    }
}

TEST_F(IniSettingsTest, SaveWritesTheSixKeysInOrderAndKeepsOtherContent)
{
    CIniSettings settings = LoadSettings();
    settings.TempPath = "C:\\frames\\";
    settings.DestinationFile = "C:\\out.mp4";
    settings.VideoType = 2;
    settings.FrameRate = 10;
    settings.VideoSize = 3;
    settings.SortByTime = 2;
    settings.Deflicker = 7;
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(rig::ReadFileBytes(IniPath()), "[VIDEO]\r\nTempPath=C:\\frames\\\r\nVideoType=2\r\nFrameRate=10\r\nVideoSize=3\r\n"
                                             "SortByTime=1\r\nDeflicker=1\r\n");

    WriteIni("; kept\r\n[OTHER]\r\nkey=value\r\n[VIDEO]\r\nFrameRate=5\r\n");
    ASSERT_TRUE(settings.Save());
    std::string content = rig::ReadFileBytes(IniPath());
    EXPECT_NE(content.find("; kept"), std::string::npos);
    EXPECT_NE(content.find("[OTHER]\r\nkey=value"), std::string::npos);
    EXPECT_NE(content.find("FrameRate=10"), std::string::npos);
    EXPECT_EQ(content.find("FrameRate=5"), std::string::npos);
    EXPECT_EQ(content.find("out.mp4"), std::string::npos) << "the destination is never stored";
}

TEST_F(IniSettingsTest, SaveReportsAFileLockedOrReadOnly)
{
    WriteIni("[VIDEO]\r\nFrameRate=5\r\n");
    CIniSettings settings = LoadSettings();
    settings.FrameRate = 30;
    {
        fw::unique_file lock(::CreateFileA(IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        EXPECT_FALSE(settings.Save());
    }
    EXPECT_EQ(settings.FrameRate, 30) << "the values stay for this run";
    EXPECT_NE(rig::ReadFileBytes(IniPath()).find("FrameRate=5"), std::string::npos);

    ASSERT_TRUE(::SetFileAttributesA(IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine run by root: the host ignores the read-only bit, and nothing can fail.
    if (!fw::unique_file(::CreateFileA(IniPath().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)))
        EXPECT_FALSE(settings.Save());
}

TEST_F(IniSettingsTest, DamagedFilesStillLoad)
{
    std::string garbage;
    for (int i = 0; i < 65536; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    for (const std::string& content : {garbage, "[VIDEO]\r\n" + std::string(100000, 'x') + "\r\nFrameRate=99\r\n"}) {
        WriteIni(content);
        CIniSettings settings = LoadSettings();
        EXPECT_TRUE(settings.FrameRate == 25 || settings.FrameRate == 50) << settings.FrameRate;
        EXPECT_TRUE(IsFolder(settings.TempPath));
    }
    WriteIni("FrameRate=9\r\nVideoType=2\r\n");
    EXPECT_EQ(LoadSettings().FrameRate, 25) << "keys outside the section do not count";
    WriteIni("[VIDEO]\r\nFrameRate=9\r\nFrameRate=40\r\n");
    EXPECT_EQ(LoadSettings().FrameRate, 9) << "the first of repeated keys wins";
}

} // namespace
