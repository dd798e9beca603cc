#include "imaging/GdiplusCodec.h"

#include <new>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const GUID JPEG_FORMAT = {0xB96B3CAE, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

} // namespace

bool TurnUpright(GpImage* image, int orientation)
{
    // A turn, then a mirror: Wine's GDI+ applies its combined types in the other order from
    // Windows', which swaps orientations 5 and 7; the two steps mean the same on both.
    static const RotateFlipType TURNS[] = {RotateNoneFlipNone, RotateNoneFlipNone, Rotate180FlipNone, Rotate180FlipNone,
                                           Rotate90FlipNone,   Rotate90FlipNone,   Rotate270FlipNone, Rotate270FlipNone};
    static const bool MIRRORED[] = {false, true, false, true, true, false, true, false};
    if (orientation < 1 || orientation > 8)
        return false;
    int i = orientation - 1;
    return (TURNS[i] == RotateNoneFlipNone || GdipImageRotateFlip(image, TURNS[i]) == Ok)
        && (!MIRRORED[i] || GdipImageRotateFlip(image, RotateNoneFlipX) == Ok);
}

bool FindJpegEncoder(CLSID& encoder)
{
    UINT count = 0, bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Ok || bytes == 0)
        return false;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[bytes]);
    if (!buffer)
        return false;
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.get());
    if (GdipGetImageEncoders(count, bytes, codecs) != Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].FormatID == JPEG_FORMAT) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}
