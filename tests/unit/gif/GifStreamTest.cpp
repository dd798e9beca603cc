#include "gif/GifStream.h"

#include <gtest/gtest.h>

using namespace gif;

namespace {

// Block streams shaped by hand: the walker never decodes pixels, so image data is any
// well-formed chain of sub-blocks.
using Bytes = std::vector<uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    // Exactly the bytes' size, so the sanitizers catch the walker reading past the end.
    out.shrink_to_fit();
    return out;
}

Bytes Chain(const std::string& text)
{
    return Join({{static_cast<uint8_t>(text.size())}, Bytes(text.begin(), text.end()), {0}});
}

Bytes Control(uint8_t delay, uint8_t disposal)
{
    return {0x21, 0xF9, 0x04, static_cast<uint8_t>(disposal << 2), delay, 0, 0, 0};
}

Bytes Comment(const std::string& text)
{
    return Join({{0x21, 0xFE}, Chain(text)});
}

Bytes Image(uint8_t left, uint8_t top, uint8_t width, uint8_t height)
{
    return Join({{0x2C, left, 0, top, 0, width, 0, height, 0, 0, 2}, Chain("pixels")});
}

const Bytes LOOP{0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
const Bytes TRAILER{0x3B};

} // namespace

// The stream's length against its global table is checked on the busy indicator's control.
TEST(GifStream, SignatureNeedsAKnownVersion)
{
    const std::pair<std::string, bool> signatures[] = {
        {"GIF87a", true}, {"GIF89a....", true}, {"GIF88a", false}, {"GIF89", false}, {"\xFF\xD8\xFF\xE0\0\0", false}};
    for (const auto& [text, gif] : signatures)
        EXPECT_EQ(IsGifSignature(reinterpret_cast<const uint8_t*>(text.data()), text.size()), gif) << text;
}

// Each frame stream is the header, the graphic block with the extensions that lead up to it
// from its first control extension on, and a trailer; the walk ends at the first block it
// cannot use. Blocks cut short are the fuzz target's.
TEST(GifStream, FramesAreCutWithTheirControlExtensionsUntilAnUnusableBlock)
{
    // 10 x 10 with a global table of two colours.
    const Bytes header = Join({{'G', 'I', 'F', '8', '9', 'a', 10, 0, 10, 0, 0x80, 0, 0}, Bytes(6, 0x40)});
    const Bytes frame = Join({Control(5, 0), Image(0, 0, 4, 4)});
    Bytes lying = Control(40, 2);
    lying[2] = 0x09;  // a block size byte that lies: the extension is still eight bytes
    struct Case {
        Bytes blocks;
        std::vector<std::pair<Bytes, std::string>> frames;  // bytes between header and trailer; geometry and timing
    } cases[] = {
        {Join({LOOP, Control(25, 2), Comment("in"), Image(2, 3, 4, 5), Comment("after"), Control(5, 1), Image(0, 0, 10, 10), TRAILER}),
         {{Join({Control(25, 2), Comment("in"), Image(2, 3, 4, 5)}), "2 3 4 5 25 2"},
          {Join({Control(5, 1), Image(0, 0, 10, 10)}), "0 0 10 10 5 1"}}},
        {Join({lying, LOOP, Control(3, 3), Image(0, 0, 4, 4), TRAILER}),
         {{Join({lying, LOOP, Control(3, 3), Image(0, 0, 4, 4)}), "0 0 4 4 40 2"}}},
        {Join({frame, frame, {0x21, 0x02, 0x00}, frame, TRAILER}), {{frame, "0 0 4 4 5 0"}, {frame, "0 0 4 4 5 0"}}},
        {Join({frame}), {{frame, "0 0 4 4 5 0"}}},
        {Join({LOOP, Comment("x"), Control(5, 0), TRAILER}), {}},
        {{0x21}, {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Bytes bytes = Join({header, cases[i].blocks});
        GifWalker walker;
        ASSERT_TRUE(walker.Attach(bytes.data(), bytes.size()));
        EXPECT_EQ(walker.CountGraphicBlocks(), static_cast<int>(cases[i].frames.size())) << i;
        walker.RewindToFirstBlock();
        GifFrameInfo f;
        GifFrameSpan span;
        for (const auto& [blocks, geometry] : cases[i].frames) {
            ASSERT_TRUE(walker.CutNextFrame(f, span)) << i;
            Bytes stream(walker.FrameStreamLength(span));
            walker.WriteFrameStream(span, stream.data());
            EXPECT_EQ(stream, Join({header, blocks, TRAILER})) << i;
            EXPECT_EQ(std::to_string(f.left) + " " + std::to_string(f.top) + " " + std::to_string(f.width) + " "
                          + std::to_string(f.height) + " " + std::to_string(f.delay) + " " + std::to_string(f.disposal),
                      geometry) << i;
        }
        EXPECT_FALSE(walker.CutNextFrame(f, span)) << i;
    }
}

TEST(GifStream, FrameWaitFollowsTheDelayWithAFloorAndNoOverflow)
{
    const std::pair<uint32_t, uint32_t> waits[] = {{0, 100}, {4, 100}, {5, 50}, {100, 1000}, {65535, 655350}, {NoDelay, 100}};
    for (const auto& [delay, milliseconds] : waits)
        EXPECT_EQ(FrameWaitMilliseconds(delay), milliseconds) << delay;
}
