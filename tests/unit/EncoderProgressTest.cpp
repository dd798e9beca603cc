#include "video/EncoderProgress.h"

#include <gtest/gtest.h>

TEST(EncoderProgress, ReadsTheLastCompleteFrameLine)
{
    const std::string block = "frame=12\nfps=3.1\nprogress=continue\n";
    struct Case {
        std::string text;
        int frames;
    } cases[] = {{"", -1},
                 {"frame=7", -1},  // still being written
                 {block, 12},
                 {block + "frame=  40\r\nfps=1\n", 40},
                 {block + "frame=41", 12},
                 {"ame=99\nbitrate=1\n" + block, 12},  // a tail cut inside a line
                 {"out_frame=5\n", -1},
                 {"frame=x1\n", -1},
                 {"frame=99999999999\n", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(LastEncodedFrame(c.text), c.frames) << c.text;
}
