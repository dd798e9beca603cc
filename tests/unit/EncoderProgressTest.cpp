#include "video/encoder/EncoderProgress.h"

#include "tests/fixtures/Fixtures.h"

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

// On what the real encoders wrote when they failed: the line that says why, and whether the
// video was left unfinished although the encoder exits with 0 then.
TEST(EncoderProgress, TellsWhyFromTheEncodersOwnErrorOutput)
{
    struct Case {
        const char* recording;
        const char* reason;
        bool unfinished;
    } cases[] = {
        {"ffmpeg-4.1-windows-unknown-encoder.txt", "Unknown encoder 'libx265nope'", false},
        {"ffmpeg-4.1-windows-unknown-option.txt", "Unrecognized option 'bogus'.", false},
        {"ffmpeg-4.1-windows-missing-input.txt", "Z:\\tmp\\rec\\g_%04d.jpg: No such file or directory", false},
        {"ffmpeg-4.1-windows-missing-folder.txt", "Z:\\tmp\\nonexist\\out.mp4: No such file or directory", false},
        {"ffmpeg-4.1-windows-disk-full.txt", "Error writing trailer of Z:\\tmp\\rec\\small\\out.mp4: Invalid argument", true},
        {"ffmpeg-5.1-linux-missing-input.txt", "g_%04d.jpg: No such file or directory", false},
        {"ffmpeg-5.1-linux-disk-full.txt", "Error closing file small/out.mp4: No space left on device", true},
        {"ffmpeg-7.1-windows-unknown-encoder.txt", "Unknown encoder 'libx265nope'", false},
        {"ffmpeg-7.1-windows-unknown-option.txt", "Unrecognized option 'bogus'.", false},
        {"ffmpeg-7.1-windows-missing-input.txt",
         "Could find no file with path 'Z:\\tmp\\rec\\g_%04d.jpg' and index in the range 0-4", false},
        {"ffmpeg-7.1-windows-missing-folder.txt", "Error opening output Z:\\tmp\\nonexist\\out.mp4: No such file or directory", false},
        {"ffmpeg-7.1-windows-disk-full.txt", "Error closing file: Invalid argument", true},
    };
    for (const Case& c : cases) {
        std::string output = fixtures::Bytes(c.recording);
        ASSERT_FALSE(output.empty()) << c.recording;
        EXPECT_EQ(LastEncoderError(output), c.reason) << c.recording;
        EXPECT_EQ(VideoLeftUnfinished(output), c.unfinished) << c.recording;
    }
    EXPECT_EQ(LastEncoderError("\r\n\n"), "");
}
