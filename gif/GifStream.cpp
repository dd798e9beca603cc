#include "gif/GifStream.h"

#include <cstring>

namespace gif {

namespace {

constexpr size_t HEADER_BYTES = 13;
constexpr uint8_t EXTENSION_INTRODUCER = 0x21;
constexpr uint8_t IMAGE_SEPARATOR = 0x2C;
constexpr uint8_t TRAILER = 0x3B;

// Bytes of a colour table announced by a packed-fields byte: 3 x 2^(N+1) when bit 7 is set.
size_t ColourTableBytes(uint8_t packed)
{
    return (packed & 0x80) ? 3u * (2u << (packed & 0x07)) : 0u;
}

} // namespace

bool IsGifSignature(const uint8_t* data, size_t size)
{
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

uint32_t FrameWaitMilliseconds(uint32_t delay)
{
    // A stored delay is 16 bits wide; anything above is the NoDelay marker, which would
    // overflow when scaled.
    if (delay < 5 || delay > 0xFFFF)
        return 100;
    return delay * 10;
}

bool GifWalker::Attach(const uint8_t* data, size_t size)
{
    Detach();
    if (!data || size < HEADER_BYTES)
        return false;
    size_t tableBytes = ColourTableBytes(data[10]);
    if (size < HEADER_BYTES + tableBytes)
        return false;
    m_data = data;
    m_size = size;
    m_globalTableBytes = tableBytes;
    RewindToFirstBlock();
    return true;
}

void GifWalker::Detach()
{
    m_data = nullptr;
    m_size = 0;
    m_readOffset = 0;
    m_globalTableBytes = 0;
}

uint32_t GifWalker::WordAt(size_t offset) const
{
    return static_cast<uint32_t>(m_data[offset]) | (static_cast<uint32_t>(m_data[offset + 1]) << 8);
}

int32_t GifWalker::ScreenWidth() const
{
    return m_data ? static_cast<int32_t>(WordAt(6)) : 0;
}

int32_t GifWalker::ScreenHeight() const
{
    return m_data ? static_cast<int32_t>(WordAt(8)) : 0;
}

void GifWalker::RewindToFirstBlock()
{
    m_readOffset = HEADER_BYTES + m_globalTableBytes;
}

GifBlockKind GifWalker::CurrentBlockKind() const
{
    if (!m_data || m_readOffset >= m_size)
        return GifBlockKind::Unrecognised;
    switch (ByteAt(m_readOffset)) {
    case IMAGE_SEPARATOR:
        return GifBlockKind::ImageDescriptor;
    case TRAILER:
        return GifBlockKind::Trailer;
    case EXTENSION_INTRODUCER:
        break;
    default:
        return GifBlockKind::Unrecognised;
    }
    if (m_readOffset + 1 >= m_size)
        return GifBlockKind::Unrecognised;
    switch (ByteAt(m_readOffset + 1)) {
    case 0xFF:
        return GifBlockKind::ApplicationExtension;
    case 0xFE:
        return GifBlockKind::CommentExtension;
    case 0xF9:
        return GifBlockKind::GraphicControlExtension;
    case 0x01:
        return GifBlockKind::PlainTextExtension;
    default:
        return GifBlockKind::Unrecognised;
    }
}

int64_t GifWalker::SubBlockChainLength(size_t p) const
{
    int64_t total = 0;
    for (;;) {
        if (!m_data || p >= m_size)
            return 0;
        uint8_t count = ByteAt(p);
        if (count == 0)
            return total + 1;
        total += count + 1;
        p += count + 1;
    }
}

int64_t GifWalker::CurrentBlockLength() const
{
    const size_t at = m_readOffset;
    auto withChain = [&](size_t fixed) -> int64_t {
        int64_t chain = SubBlockChainLength(at + fixed);
        return chain == 0 ? 0 : static_cast<int64_t>(fixed) + chain;
    };
    switch (CurrentBlockKind()) {
    case GifBlockKind::ApplicationExtension:
        return withChain(14);
    case GifBlockKind::CommentExtension:
        return withChain(2);
    case GifBlockKind::GraphicControlExtension:
        // Always 8, whatever its block size byte claims.
        return at + 8 <= m_size ? 8 : 0;
    case GifBlockKind::PlainTextExtension:
        return withChain(15);
    case GifBlockKind::ImageDescriptor:
        if (at + 10 > m_size)
            return 0;
        return withChain(11 + ColourTableBytes(ByteAt(at + 9)));
    case GifBlockKind::Trailer:
        return 1;
    case GifBlockKind::Unrecognised:
        break;
    }
    return -1;
}

bool GifWalker::SkipCurrentBlock()
{
    if (!m_data)
        return false;
    int64_t length = CurrentBlockLength();
    if (length <= 0 || m_readOffset + static_cast<size_t>(length) > m_size)
        return false;
    m_readOffset += static_cast<size_t>(length);
    return true;
}

// Application extensions and comments ahead of a graphic block; false when the walk ends
// before one.
bool GifWalker::PassOverLeadingExtensions()
{
    for (;;) {
        GifBlockKind kind = CurrentBlockKind();
        if (kind == GifBlockKind::ApplicationExtension || kind == GifBlockKind::CommentExtension) {
            if (!SkipCurrentBlock())
                return false;
            continue;
        }
        return kind != GifBlockKind::Unrecognised && kind != GifBlockKind::Trailer;
    }
}

// Whatever lies between a control extension and its image or plain-text block.
bool GifWalker::PassOverControlExtensions()
{
    for (;;) {
        GifBlockKind kind = CurrentBlockKind();
        if (kind == GifBlockKind::ImageDescriptor || kind == GifBlockKind::PlainTextExtension)
            return true;
        if (kind == GifBlockKind::Trailer || kind == GifBlockKind::Unrecognised || !SkipCurrentBlock())
            return false;
    }
}

bool GifWalker::SkipGraphicBlock()
{
    if (!PassOverLeadingExtensions() || CurrentBlockLength() <= 0)
        return false;
    if (CurrentBlockKind() == GifBlockKind::GraphicControlExtension) {
        if (!SkipCurrentBlock() || !PassOverControlExtensions())
            return false;
    }
    return SkipCurrentBlock();
}

int GifWalker::CountGraphicBlocks()
{
    RewindToFirstBlock();
    int count = 0;
    while (SkipGraphicBlock())
        ++count;
    return count;
}

bool GifWalker::CutNextFrame(GifFrameInfo& frame, GifFrameSpan& span)
{
    if (!m_data)
        return false;
    frame = GifFrameInfo{};
    if (!PassOverLeadingExtensions())
        return false;
    const size_t start = m_readOffset;
    if (CurrentBlockLength() <= 0)
        return false;
    if (CurrentBlockKind() == GifBlockKind::GraphicControlExtension) {
        frame.delay = WordAt(start + 4);
        frame.disposal = (ByteAt(start + 3) >> 2) & 0x07;
        if (!SkipCurrentBlock() || !PassOverControlExtensions())
            return false;
    }
    const size_t descriptor = m_readOffset;
    const bool isImage = CurrentBlockKind() == GifBlockKind::ImageDescriptor;
    if (!SkipCurrentBlock())
        return false;
    // Read only once the skip has shown that the whole descriptor lies in the data.
    if (isImage) {
        frame.left = static_cast<int32_t>(WordAt(descriptor + 1));
        frame.top = static_cast<int32_t>(WordAt(descriptor + 3));
        frame.width = static_cast<int32_t>(WordAt(descriptor + 5));
        frame.height = static_cast<int32_t>(WordAt(descriptor + 7));
    }
    span.spanStart = start;
    span.spanLength = m_readOffset - start;
    return true;
}

size_t GifWalker::FrameStreamLength(const GifFrameSpan& span) const
{
    return HEADER_BYTES + m_globalTableBytes + span.spanLength + 1;
}

void GifWalker::WriteFrameStream(const GifFrameSpan& span, uint8_t* out) const
{
    const size_t head = HEADER_BYTES + m_globalTableBytes;
    std::memcpy(out, m_data, head);
    std::memcpy(out + head, m_data + span.spanStart, span.spanLength);
    out[head + span.spanLength] = TRAILER;
}

} // namespace gif
