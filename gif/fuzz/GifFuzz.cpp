// libFuzzer target over the GIF block walker and frame cutter: no input may make them read
// outside the bytes, loop for ever, or cut a frame stream of the wrong shape.
#include "gif/GifStream.h"

#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!gif::IsGifSignature(data, size))
        return 0;
    gif::GifWalker walker;
    if (!walker.Attach(data, size))
        return 0;

    int counted = walker.CountGraphicBlocks();
    if (walker.ReadOffset() > size)
        std::abort();

    walker.RewindToFirstBlock();
    int cut = 0;
    gif::GifFrameInfo frame;
    gif::GifFrameSpan span;
    const size_t head = 13 + walker.GlobalTableBytes();
    while (walker.CutNextFrame(frame, span)) {
        size_t length = walker.FrameStreamLength(span);
        if (length != head + span.spanLength + 1 || span.spanStart + span.spanLength > size)
            std::abort();
        std::unique_ptr<uint8_t[]> stream(new uint8_t[length]);
        walker.WriteFrameStream(span, stream.get());
        if (std::memcmp(stream.get(), data, head) != 0 || stream[length - 1] != 0x3B)
            std::abort();
        if (frame.disposal > 7 || (frame.delay > 0xFFFF && frame.delay != gif::NoDelay))
            std::abort();
        ++cut;
    }
    if (cut != counted)
        std::abort();
    return 0;
}
