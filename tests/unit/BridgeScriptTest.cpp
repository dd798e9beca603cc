#include "tools/ffmpeg-bridge/BridgeScript.h"

#include <gtest/gtest.h>

TEST(BridgeScript, TellsWindowsPathsAndReadsOnlyANumberAsStatus)
{
    for (const char* path : {"C:\\Temp\\a_%04d.jpg", "z:/tmp/x", "\\\\server\\share\\v.mp4"})
        EXPECT_TRUE(bridge::IsWindowsPath(path)) << path;
    for (const char* other : {"-s", "360x240", "1:2", "C:", "/tmp/x"})
        EXPECT_FALSE(bridge::IsWindowsPath(other)) << other;
    const std::pair<const char*, int> statuses[] = {{"0\n", 0}, {"139\n", 139}, {"", -1}, {"x1", -1}, {"99999999999", -1}};
    for (const auto& [text, status] : statuses)
        EXPECT_EQ(bridge::ParseStatus(text), status) << text;
}
