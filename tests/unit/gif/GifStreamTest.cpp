#include "gif/GifStream.h"

#include <gtest/gtest.h>

#include <memory>

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

Bytes Table(unsigned entries)
{
    return Bytes(entries * 3, 0x40);
}

// Colour-table flag and size field for 2^(n+1) entries.
uint8_t TableField(unsigned entries)
{
    uint8_t n = 0;
    while ((2u << n) < entries)
        ++n;
    return entries ? static_cast<uint8_t>(0x80 | n) : 0;
}

Bytes Header(uint8_t width, uint8_t height, unsigned tableEntries = 4)
{
    return Join({{'G', 'I', 'F', '8', '9', 'a', width, 0, height, 0, TableField(tableEntries), 0, 0}, Table(tableEntries)});
}

Bytes Chain(const std::string& text)
{
    Bytes out{static_cast<uint8_t>(text.size())};
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
    return out;
}

Bytes ControlExtension(uint8_t delay, uint8_t disposal)
{
    return {0x21, 0xF9, 0x04, static_cast<uint8_t>(disposal << 2), delay, 0, 0, 0};
}

Bytes Comment(const std::string& text)
{
    return Join({{0x21, 0xFE}, Chain(text)});
}

Bytes PlainText(const std::string& text)
{
    return Join({{0x21, 0x01, 0x0C}, Bytes(12, 0), Chain(text)});
}

Bytes Image(uint8_t left, uint8_t top, uint8_t width, uint8_t height, unsigned tableEntries = 0, const std::string& data = "pixels")
{
    return Join({{0x2C, left, 0, top, 0, width, 0, height, 0, TableField(tableEntries)}, Table(tableEntries), {2}, Chain(data)});
}

const Bytes LOOP{0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
const Bytes TRAILER{0x3B};

// The bytes in a heap block of exactly their size, so a read past the end is caught by the
// sanitizers.
struct ExactBytes {
    explicit ExactBytes(const Bytes& bytes) : size(bytes.size()), data(new uint8_t[bytes.size() ? bytes.size() : 1])
    {
        std::copy(bytes.begin(), bytes.end(), data.get());
    }
    size_t size;
    std::unique_ptr<uint8_t[]> data;
};

struct Cut {
    GifFrameInfo info;
    Bytes stream;
};

std::vector<Cut> CutAll(GifWalker& walker)
{
    std::vector<Cut> cuts;
    walker.RewindToFirstBlock();
    GifFrameInfo info;
    GifFrameSpan span;
    while (walker.CutNextFrame(info, span)) {
        Bytes stream(walker.FrameStreamLength(span));
        walker.WriteFrameStream(span, stream.data());
        cuts.push_back({info, stream});
    }
    return cuts;
}

Bytes Slice(const Bytes& bytes, size_t from, size_t count)
{
    return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(from + count));
}

} // namespace

TEST(GifStream, SignatureNeedsAKnownVersionAndSixBytes)
{
    EXPECT_TRUE(IsGifSignature(reinterpret_cast<const uint8_t*>("GIF87a"), 6));
    EXPECT_TRUE(IsGifSignature(reinterpret_cast<const uint8_t*>("GIF89a...."), 10));
    EXPECT_FALSE(IsGifSignature(reinterpret_cast<const uint8_t*>("GIF88a"), 6));
    EXPECT_FALSE(IsGifSignature(reinterpret_cast<const uint8_t*>("GIF89"), 5));
    EXPECT_FALSE(IsGifSignature(reinterpret_cast<const uint8_t*>("\xFF\xD8\xFF\xE0\0\0"), 6));
}

TEST(GifStream, StreamShorterThanHeaderAndGlobalTableIsRefused)
{
    Bytes full = Join({Header(4, 4, 128), Image(0, 0, 4, 4), TRAILER});
    for (size_t size : {size_t{6}, size_t{12}, size_t{13}, size_t{13 + 383}}) {
        ExactBytes bytes(Slice(full, 0, size));
        GifWalker walker;
        EXPECT_FALSE(walker.Attach(bytes.data.get(), bytes.size)) << size;
        EXPECT_EQ(walker.CountGraphicBlocks(), 0);
    }
    ExactBytes headerOnly(Slice(full, 0, 13 + 384));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(headerOnly.data.get(), headerOnly.size));
    EXPECT_EQ(walker.GlobalTableBytes(), 384u);
    EXPECT_EQ(walker.CurrentBlockKind(), GifBlockKind::Unrecognised);
    EXPECT_EQ(walker.CountGraphicBlocks(), 0);
}

TEST(GifStream, BlocksAreClassifiedAndMeasured)
{
    Bytes header = Header(8, 6);
    Bytes loop = LOOP;
    Bytes comment = Comment("hello");
    Bytes image = Image(1, 2, 3, 2, 4);
    ExactBytes bytes(Join({header, loop, comment, ControlExtension(7, 2), image, PlainText("hi"), TRAILER}));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
    EXPECT_EQ(walker.ScreenWidth(), 8);
    EXPECT_EQ(walker.ScreenHeight(), 6);
    EXPECT_EQ(walker.ReadOffset(), 13u + 12u);

    struct Expected {
        GifBlockKind kind;
        int64_t length;
    };
    const Expected blocks[] = {
        {GifBlockKind::ApplicationExtension, static_cast<int64_t>(loop.size())},
        {GifBlockKind::CommentExtension, static_cast<int64_t>(comment.size())},
        {GifBlockKind::GraphicControlExtension, 8},
        {GifBlockKind::ImageDescriptor, static_cast<int64_t>(image.size())},
        {GifBlockKind::PlainTextExtension, 15 + 4},
        {GifBlockKind::Trailer, 1},
    };
    for (const Expected& block : blocks) {
        EXPECT_EQ(walker.CurrentBlockKind(), block.kind);
        EXPECT_EQ(walker.CurrentBlockLength(), block.length);
        ASSERT_TRUE(walker.SkipCurrentBlock());
    }
    // The end of the data reads as an unrecognised block that cannot be skipped.
    EXPECT_EQ(walker.ReadOffset(), bytes.size);
    EXPECT_EQ(walker.CurrentBlockKind(), GifBlockKind::Unrecognised);
    EXPECT_EQ(walker.CurrentBlockLength(), -1);
    EXPECT_FALSE(walker.SkipCurrentBlock());
}

TEST(GifStream, BlocksThatRunPastTheDataDoNotFit)
{
    Bytes header = Header(4, 4);
    const Bytes cases[] = {
        Slice(ControlExtension(5, 0), 0, 7),
        Slice(Comment("some words"), 0, 6),
        Slice(Image(0, 0, 4, 4), 0, 9),
        Slice(Image(0, 0, 4, 4), 0, 14),
        Slice(LOOP, 0, 14),
    };
    for (const Bytes& partial : cases) {
        ExactBytes bytes(Join({header, partial}));
        GifWalker walker;
        ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
        EXPECT_EQ(walker.CurrentBlockLength(), 0) << partial.size();
        EXPECT_FALSE(walker.SkipCurrentBlock());
        EXPECT_EQ(walker.ReadOffset(), header.size());
        EXPECT_EQ(walker.CountGraphicBlocks(), 0);
    }
    // A lone introducer at the very end has no label to read.
    ExactBytes lone(Join({header, Bytes{0x21}}));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(lone.data.get(), lone.size));
    EXPECT_EQ(walker.CurrentBlockKind(), GifBlockKind::Unrecognised);
}

TEST(GifStream, FrameStreamCarriesControlCommentAndImageThenTrailer)
{
    Bytes header = Header(10, 10);
    Bytes control = ControlExtension(25, 2);
    Bytes comment = Comment("between");
    Bytes image = Image(2, 3, 4, 5);
    Bytes second = Join({ControlExtension(5, 1), Image(0, 0, 10, 10)});
    ExactBytes bytes(Join({header, LOOP, control, comment, image, Comment("after"), second, TRAILER}));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
    EXPECT_EQ(walker.CountGraphicBlocks(), 2);

    std::vector<Cut> cuts = CutAll(walker);
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[0].stream, Join({header, control, comment, image, TRAILER}));
    EXPECT_EQ(cuts[0].stream.size(), 14 + 12 + control.size() + comment.size() + image.size());
    EXPECT_EQ(cuts[0].info.left, 2);
    EXPECT_EQ(cuts[0].info.top, 3);
    EXPECT_EQ(cuts[0].info.width, 4);
    EXPECT_EQ(cuts[0].info.height, 5);
    EXPECT_EQ(cuts[0].info.delay, 25u);
    EXPECT_EQ(cuts[0].info.disposal, 2u);
    // A comment ahead of the next control extension is passed over, not carried.
    EXPECT_EQ(cuts[1].stream, Join({header, second, TRAILER}));
    EXPECT_EQ(cuts[1].info.disposal, 1u);
}

TEST(GifStream, WalkEndsAtUnrecognisedLabelOrMissingTrailer)
{
    Bytes header = Header(4, 4);
    Bytes frame = Join({ControlExtension(5, 0), Image(0, 0, 4, 4)});
    const std::pair<Bytes, int> streams[] = {
        {Join({header, frame, frame, Bytes{0x21, 0x02, 0x00}, frame, TRAILER}), 2},
        {Join({header, frame, frame}), 2},
        {Join({header, frame, frame, Slice(frame, 0, frame.size() - 1)}), 2},
        {Join({header, frame, frame, Bytes{0x00}, frame, TRAILER}), 2},
        {Join({header, LOOP, Comment("x"), ControlExtension(5, 0), TRAILER}), 0},
    };
    for (const auto& [stream, count] : streams) {
        ExactBytes bytes(stream);
        GifWalker walker;
        ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
        EXPECT_EQ(walker.CountGraphicBlocks(), count);
        EXPECT_EQ(CutAll(walker).size(), static_cast<size_t>(count));
    }
}

TEST(GifStream, PlainTextBlocksAreGraphicBlocksWithoutGeometry)
{
    Bytes header = Header(4, 4);
    Bytes text = Join({ControlExtension(9, 1), PlainText("abc")});
    ExactBytes bytes(Join({header, Image(0, 0, 4, 4), text, PlainText("d"), TRAILER}));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
    EXPECT_EQ(walker.CountGraphicBlocks(), 3);
    std::vector<Cut> cuts = CutAll(walker);
    ASSERT_EQ(cuts.size(), 3u);
    EXPECT_EQ(cuts[1].stream, Join({header, text, TRAILER}));
    EXPECT_EQ(cuts[1].info.delay, 9u);
    EXPECT_EQ(cuts[1].info.width, 0);
    EXPECT_EQ(cuts[2].info.delay, NoDelay);
}

TEST(GifStream, ControlExtensionsAreEightBytesAndTravelWithTheirImage)
{
    Bytes header = Header(4, 4);
    Bytes first = ControlExtension(40, 2);
    first[2] = 0x09;  // a block size byte that lies
    Bytes extra = ControlExtension(3, 3);
    Bytes image = Image(0, 0, 4, 4);
    ExactBytes bytes(Join({header, first, LOOP, extra, image, TRAILER}));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
    EXPECT_EQ(walker.CurrentBlockLength(), 8);
    std::vector<Cut> cuts = CutAll(walker);
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0].info.delay, 40u);
    EXPECT_EQ(cuts[0].info.disposal, 2u);
    EXPECT_EQ(cuts[0].stream, Join({header, first, LOOP, extra, image, TRAILER}));
}

TEST(GifStream, FrameWaitFollowsTheDelayWithAFloorAndNoOverflow)
{
    EXPECT_EQ(FrameWaitMilliseconds(0), 100u);
    EXPECT_EQ(FrameWaitMilliseconds(4), 100u);
    EXPECT_EQ(FrameWaitMilliseconds(5), 50u);
    EXPECT_EQ(FrameWaitMilliseconds(100), 1000u);
    EXPECT_EQ(FrameWaitMilliseconds(65535), 655350u);
    EXPECT_EQ(FrameWaitMilliseconds(NoDelay), 100u);
}
