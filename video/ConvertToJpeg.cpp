#include "video/ConvertToJpeg.h"

#include "app/Globals.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "imaging/GdiplusCodec.h"
#include "imaging/ImageFile.h"

#include <objidl.h>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The decoded picture as the codec gives it; one with alpha is premultiplied, so what is
// transparent comes out black.
GdiplusImagePtr Decode(const std::string& sourcePath, int orientation)
{
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromFile(fw::ToWide(sourcePath).c_str(), &raw) != Ok || !raw)
        return nullptr;
    GdiplusImagePtr decoded(raw);
    if (!TurnUpright(raw, orientation))
        return nullptr;
    // Windows' codec writes the source's EXIF into the new file; its tag would turn the upright
    // frame again in any reader that honours it.
    if (orientation != 1)
        GdipRemovePropertyItem(raw, PropertyTagOrientation);
    PixelFormat format = 0;
    UINT width = 0, height = 0;
    if (GdipGetImagePixelFormat(raw, &format) != Ok || GdipGetImageWidth(raw, &width) != Ok
        || GdipGetImageHeight(raw, &height) != Ok || width == 0 || height == 0)
        return nullptr;
    if (!(format & PixelFormatAlpha))
        return decoded;
    GpBitmap* premultiplied = nullptr;
    if (GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppPARGB, raw,
                             &premultiplied) != Ok)
        return nullptr;
    return GdiplusImagePtr(premultiplied);
}

FrameOutcome Convert(const std::string& sourcePath, const std::string& frameFileName, int orientation)
{
    GdiplusSession gdiplus(g_gdiplus);
    CLSID encoder;
    if (!gdiplus || !FindJpegEncoder(encoder))
        return {};
    GdiplusImagePtr image = Decode(sourcePath, orientation);
    if (!image)
        return {};
    // Encoded into memory first, so a failed write is told apart from an undecodable source
    // and carries the system's reason.
    fw::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))
        || GdipSaveImageToStream(image.get(), stream.get(), &encoder, nullptr) != Ok)
        return {};
    ULARGE_INTEGER size{};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size)) || FAILED(::GetHGlobalFromStream(stream.get(), &memory)))
        return {};
    fw::GlobalLockGuard bytes(memory);
    if (!bytes.get())
        return {};
    return WriteFrameFile(frameFileName, bytes.get(), static_cast<size_t>(size.QuadPart));
}

} // namespace

FrameOutcome ConvertToJpeg(const std::string& sourcePath, const std::string& frameFileName)
{
    return Convert(sourcePath, frameFileName, 1);
}

FrameOutcome WriteUprightJpeg(const std::string& sourcePath, const std::string& frameFileName)
{
    CImageFile header;
    header.LoadHeader(sourcePath);
    if (header.GetOrientation() == 1)
        return {FrameStatus::AsShot};
    return Convert(sourcePath, frameFileName, header.GetOrientation());
}
