#include "app/SettingsRules.h"

#include <gtest/gtest.h>

using namespace settings_rules;

TEST(SettingsRules, StoredIntegersFollowTheLeadingNumberOrTheDefault)
{
    EXPECT_EQ(ParseStoredInt("", 25), 25);
    EXPECT_EQ(ParseStoredInt("12abc", 25), 12);
    EXPECT_EQ(ParseStoredInt("abc", 25), 0);
    EXPECT_EQ(ParseStoredInt("-5", 1), -5);
    EXPECT_EQ(ParseStoredInt(" 7", 1), 7);
}

TEST(SettingsRules, TrailingBackslashIsAddedOnce)
{
    EXPECT_EQ(WithTrailingBackslash("C:\\frames"), "C:\\frames\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\frames\\"), "C:\\frames\\");
    EXPECT_EQ(WithTrailingBackslash("D:\\"), "D:\\");
}

TEST(SettingsRules, ModuleDirectoryEndsInOneBackslash)
{
    EXPECT_EQ(DirectoryOfPath("C:\\Program Files\\Lumvex\\LumvexTimeLapseVideo.exe"), "C:\\Program Files\\Lumvex\\");
    EXPECT_EQ(DirectoryOfPath("D:\\LumvexTimeLapseVideo.exe"), "D:\\");
    EXPECT_EQ(DirectoryOfPath("D:LumvexTimeLapseVideo.exe"), "D:\\");
    EXPECT_EQ(DirectoryOfPath("Z:/tmp/app/x.exe"), "Z:/tmp/app\\");
}
