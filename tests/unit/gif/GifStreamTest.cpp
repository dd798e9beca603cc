#include "gif/GifStream.h"
#include "tests/unit/gif/GifBytes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace gif;
using namespace gif_test;

namespace {

const std::vector<uint32_t> FOUR_COLOURS{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

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
    Bytes full = Join({Header(4, 4, std::vector<uint32_t>(128, 0)), FilledImage(0, 0, 4, 4, 1), TRAILER});
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
    Bytes header = Header(8, 6, FOUR_COLOURS);
    Bytes loop = LoopExtension();
    Bytes comment = Comment("hello");
    Bytes image = Image(1, 2, 3, 2, Bytes(6, 0), FOUR_COLOURS);
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
    Bytes header = Header(4, 4, FOUR_COLOURS);
    const Bytes cases[] = {
        Slice(ControlExtension(5, 0), 0, 7),
        Slice(Comment("some words"), 0, 6),
        Slice(FilledImage(0, 0, 4, 4, 1), 0, 9),
        Slice(FilledImage(0, 0, 4, 4, 1), 0, 14),
        Slice(LoopExtension(), 0, 14),
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
    Bytes header = Header(10, 10, FOUR_COLOURS);
    Bytes control = ControlExtension(25, 2, 3);
    Bytes comment = Comment("between");
    Bytes image = FilledImage(2, 3, 4, 5, 1);
    Bytes second = Join({ControlExtension(5, 1), FilledImage(0, 0, 10, 10, 2)});
    ExactBytes bytes(Join({header, LoopExtension(), control, comment, image, Comment("after"), second, TRAILER}));
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

TEST(GifStream, ImageWithoutControlExtensionHasNoDelay)
{
    ExactBytes bytes(Join({Header(4, 4, {}), FilledImage(0, 0, 4, 4, 0), FilledImage(1, 1, 2, 2, 1), TRAILER}));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
    std::vector<Cut> cuts = CutAll(walker);
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[1].info.delay, NoDelay);
    EXPECT_EQ(cuts[1].info.disposal, 0u);
    EXPECT_EQ(cuts[1].info.left, 1);
    EXPECT_EQ(cuts[1].stream.size(), 14u + FilledImage(1, 1, 2, 2, 1).size());
}

TEST(GifStream, WalkEndsAtUnrecognisedLabelOrMissingTrailer)
{
    Bytes header = Header(4, 4, FOUR_COLOURS);
    Bytes frame = Join({ControlExtension(5, 0), FilledImage(0, 0, 4, 4, 1)});
    const Bytes streams[] = {
        Join({header, frame, frame, Bytes{0x21, 0x02, 0x00}, frame, TRAILER}),
        Join({header, frame, frame}),
        Join({header, frame, frame, Slice(frame, 0, frame.size() - 1)}),
        Join({header, frame, frame, Bytes{0x00}, frame, TRAILER}),
    };
    for (const Bytes& stream : streams) {
        ExactBytes bytes(stream);
        GifWalker walker;
        ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
        EXPECT_EQ(walker.CountGraphicBlocks(), 2);
        EXPECT_EQ(CutAll(walker).size(), 2u);
    }
}

TEST(GifStream, OnlyExtensionsMeanNoGraphicBlock)
{
    ExactBytes bytes(Join({Header(4, 4, FOUR_COLOURS), LoopExtension(), Comment("x"), ControlExtension(5, 0), TRAILER}));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
    EXPECT_EQ(walker.CountGraphicBlocks(), 0);
    EXPECT_TRUE(CutAll(walker).empty());
}

TEST(GifStream, PlainTextBlocksAreGraphicBlocksWithoutGeometry)
{
    Bytes header = Header(4, 4, FOUR_COLOURS);
    Bytes text = Join({ControlExtension(9, 1), PlainText("abc")});
    ExactBytes bytes(Join({header, FilledImage(0, 0, 4, 4, 1), text, PlainText("d"), TRAILER}));
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
    Bytes header = Header(4, 4, FOUR_COLOURS);
    Bytes first = ControlExtension(40, 2);
    first[2] = 0x09;  // a block size byte that lies
    Bytes extra = ControlExtension(3, 3);
    Bytes image = FilledImage(0, 0, 4, 4, 1);
    ExactBytes bytes(Join({header, first, LoopExtension(), extra, image, TRAILER}));
    GifWalker walker;
    ASSERT_TRUE(walker.Attach(bytes.data.get(), bytes.size));
    EXPECT_EQ(walker.CurrentBlockLength(), 8);
    std::vector<Cut> cuts = CutAll(walker);
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0].info.delay, 40u);
    EXPECT_EQ(cuts[0].info.disposal, 2u);
    EXPECT_EQ(cuts[0].stream, Join({header, first, LoopExtension(), extra, image, TRAILER}));
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
