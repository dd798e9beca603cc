// Walks the blocks of a GIF87a/GIF89a byte stream and cuts each graphic block out as a
// stand-alone single-image GIF stream. Pure: it never allocates for the caller's frames and
// reads nothing outside the bytes it was given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gif {

enum class GifBlockKind {
    Unrecognised = 0,
    ApplicationExtension = 1,
    CommentExtension = 2,
    GraphicControlExtension = 3,
    PlainTextExtension = 4,
    ImageDescriptor = 5,
    Trailer = 6,
};

// Delay of a frame that has no graphic control extension.
constexpr uint32_t NoDelay = 0xFFFFFFFFu;

// Position, size and timing of one graphic block, as read from its descriptor and control
// extension. A plain-text block leaves the geometry at 0.
struct GifFrameInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0;
    int32_t top = 0;
    uint32_t delay = NoDelay;
    uint32_t disposal = 0;
};

// Where a frame's bytes lie in the source: the frame stream is the header and global table,
// then spanLength bytes from spanStart, then a trailer byte.
struct GifFrameSpan {
    size_t spanStart = 0;
    size_t spanLength = 0;
};

// True when the bytes start with "GIF87a" or "GIF89a".
bool IsGifSignature(const uint8_t* data, size_t size);

// How long the animation shows a frame of that delay (hundredths of a second).
uint32_t FrameWaitMilliseconds(uint32_t delay);

class GifWalker {
public:
    // Takes the bytes of a stream that passed IsGifSignature. False, and nothing attached,
    // when the stream is too short for its header and global colour table.
    bool Attach(const uint8_t* data, size_t size);
    void Detach();

    int32_t ScreenWidth() const;
    int32_t ScreenHeight() const;
    size_t GlobalTableBytes() const { return m_globalTableBytes; }
    size_t ReadOffset() const { return m_readOffset; }

    void RewindToFirstBlock();
    GifBlockKind CurrentBlockKind() const;
    // The block's total length; -1 for an unrecognised block, 0 for one that does not fit.
    int64_t CurrentBlockLength() const;
    // Length of the data sub-block chain at offset p, terminator included; 0 when it would
    // run past the data.
    int64_t SubBlockChainLength(size_t p) const;
    bool SkipCurrentBlock();
    bool SkipGraphicBlock();
    int CountGraphicBlocks();
    // Advances over the next graphic block, reading its geometry and timing. False when
    // there is none.
    bool CutNextFrame(GifFrameInfo& frame, GifFrameSpan& span);

    // Size of the frame stream made from that span: 14 + global table + span.
    size_t FrameStreamLength(const GifFrameSpan& span) const;
    // Writes exactly FrameStreamLength(span) bytes to out.
    void WriteFrameStream(const GifFrameSpan& span, uint8_t* out) const;

private:
    bool PassOverLeadingExtensions();
    bool PassOverControlExtensions();
    uint8_t ByteAt(size_t offset) const { return m_data[offset]; }
    uint32_t WordAt(size_t offset) const;

    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_readOffset = 0;
    size_t m_globalTableBytes = 0;
};

} // namespace gif
