#include "rig/Media.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>

// The host command gets each argument as exactly its bytes, a Windows path as its host path,
// and the bridge ends with the host's status; a crash is a failure.
TEST(FfmpegBridge, HandsArgumentsOverLiterallyAndEndsWithTheHostStatus)
{
    rig::TempFolder root;
    std::string output = root.File("\xC3\xBC out.txt");
    std::string tricky = "it's $(id) `id` $HOME; *";
    EXPECT_EQ(rig::RunHostTool("sh -c 'printf %s \"$1\" > \"$2\"' sh", "\"" + tricky + "\" \"" + output + "\""), 0);
    EXPECT_EQ(rig::ReadFileBytes(output), tricky);
    EXPECT_EQ(rig::RunHostTool("sh -c 'exit 7' sh", ""), 7);
    EXPECT_NE(rig::RunHostTool("sh -c 'kill -SEGV $$' sh", ""), 0);
}
