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
    return out;
}

// The block followed by a colour table of 2^(size+1) entries, its flag and size in the byte
// at field; no table for size -1.
Bytes WithTable(Bytes block, size_t field, int size)
{
    block[field] = size < 0 ? 0 : static_cast<uint8_t>(0x80 | size);
    return Join({block, Bytes(size < 0 ? 0 : 3u << (size + 1), 0x40)});
}

Bytes Header(uint8_t width, uint8_t height, int tableSize = 1)
{
    return WithTable({'G', 'I', 'F', '8', '9', 'a', width, 0, height, 0, 0, 0, 0}, 10, tableSize);
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

Bytes Image(uint8_t left, uint8_t top, uint8_t width, uint8_t height, int tableSize = -1)
{
    return Join({WithTable({0x2C, left, 0, top, 0, width, 0, height, 0, 0}, 9, tableSize), {2}, Chain("pixels")});
}

const Bytes LOOP{0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
const Bytes TRAILER{0x3B};

// The walker over a heap copy of exactly the bytes' size, so the sanitizers catch a read
// past the end.
struct Walk {
    explicit Walk(const Bytes& stream) : bytes(stream) { attached = walker.Attach(bytes.data(), bytes.size()); }
    Bytes bytes;
    GifWalker walker;
    bool attached;
};

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
    const Bytes header = Header(10, 10);
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
        Walk walk(Join({header, cases[i].blocks}));
        ASSERT_TRUE(walk.attached);
        EXPECT_EQ(walk.walker.CountGraphicBlocks(), static_cast<int>(cases[i].frames.size())) << i;
        walk.walker.RewindToFirstBlock();
        GifFrameInfo f;
        GifFrameSpan span;
        for (const auto& [blocks, geometry] : cases[i].frames) {
            ASSERT_TRUE(walk.walker.CutNextFrame(f, span)) << i;
            Bytes stream(walk.walker.FrameStreamLength(span));
            walk.walker.WriteFrameStream(span, stream.data());
            EXPECT_EQ(stream, Join({header, blocks, TRAILER})) << i;
            EXPECT_EQ(std::to_string(f.left) + " " + std::to_string(f.top) + " " + std::to_string(f.width) + " "
                          + std::to_string(f.height) + " " + std::to_string(f.delay) + " " + std::to_string(f.disposal),
                      geometry) << i;
        }
        EXPECT_FALSE(walk.walker.CutNextFrame(f, span)) << i;
    }
}

TEST(GifStream, FrameWaitFollowsTheDelayWithAFloorAndNoOverflow)
{
    const std::pair<uint32_t, uint32_t> waits[] = {{0, 100}, {4, 100}, {5, 50}, {100, 1000}, {65535, 655350}, {NoDelay, 100}};
    for (const auto& [delay, milliseconds] : waits)
        EXPECT_EQ(FrameWaitMilliseconds(delay), milliseconds) << delay;
}
