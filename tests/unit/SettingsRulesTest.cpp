#include "app/SettingsRules.h"

#include <gtest/gtest.h>

using namespace settings_rules;

TEST(SettingsRules, ModuleDirectoryEndsInOneBackslash)
{
    EXPECT_EQ(DirectoryOfPath("C:\\Program Files\\Lumvex\\LumvexTimeLapseVideo.exe"), "C:\\Program Files\\Lumvex\\");
    EXPECT_EQ(DirectoryOfPath("D:\\LumvexTimeLapseVideo.exe"), "D:\\");
    EXPECT_EQ(DirectoryOfPath("D:LumvexTimeLapseVideo.exe"), "D:\\");
    EXPECT_EQ(DirectoryOfPath("Z:/tmp/app/x.exe"), "Z:/tmp/app\\");
}
