#include "video/ConvertToJpeg.h"

#include "app/Globals.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "imaging/GdiplusCodec.h"
#include "imaging/ImageFile.h"

#include <algorithm>
#include <cstdlib>
#include <objidl.h>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct GraphicsDeleter {
    void operator()(GpGraphics* graphics) const { GdipDeleteGraphics(graphics); }
};
using GraphicsPtr = std::unique_ptr<GpGraphics, GraphicsDeleter>;

// Shapes that differ by less than a hundredth look alike once scaled.
bool SameShape(ImageDimensions a, ImageDimensions b)
{
    int64_t across = static_cast<int64_t>(a.width) * b.height;
    int64_t down = static_cast<int64_t>(b.width) * a.height;
    return std::llabs(across - down) * 100 <= std::max(across, down);
}

bool NeedsCanvas(const FrameCanvas& canvas, ImageDimensions picture)
{
    return canvas.size.width > 0 && canvas.size.height > 0 && !SameShape(canvas.size, picture);
}

// The picture scaled by one factor and centred on a black canvas, whole or covering it.
GdiplusImagePtr Framed(GpImage* picture, ImageDimensions size, const FrameCanvas& canvas)
{
    double across = static_cast<double>(canvas.size.width) / size.width;
    double down = static_cast<double>(canvas.size.height) / size.height;
    double factor = canvas.framing == settings_rules::FRAMING_FILL ? std::max(across, down) : std::min(across, down);
    auto width = static_cast<REAL>(size.width * factor);
    auto height = static_cast<REAL>(size.height * factor);
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromScan0(canvas.size.width, canvas.size.height, 0, PixelFormat24bppRGB, nullptr, &raw) != Ok)
        return nullptr;
    GdiplusImagePtr framed(raw);
    GpGraphics* drawing = nullptr;
    if (GdipGetImageGraphicsContext(raw, &drawing) != Ok)
        return nullptr;
    GraphicsPtr graphics(drawing);
    if (GdipGraphicsClear(drawing, 0xFF000000) != Ok
        || GdipSetInterpolationMode(drawing, InterpolationModeHighQualityBicubic) != Ok
        || GdipDrawImageRect(drawing, picture, (canvas.size.width - width) / 2, (canvas.size.height - height) / 2, width,
                             height) != Ok)
        return nullptr;
    return framed;
}

// The decoded picture as the codec gives it; one with alpha is premultiplied, so what is
// transparent comes out black.
GdiplusImagePtr Decode(const std::string& sourcePath, int orientation, const FrameCanvas& canvas)
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
    ImageDimensions size{static_cast<int>(width), static_cast<int>(height)};
    if (NeedsCanvas(canvas, size))
        return Framed(raw, size, canvas);
    if (!(format & PixelFormatAlpha))
        return decoded;
    GpBitmap* premultiplied = nullptr;
    if (GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppPARGB, raw,
                             &premultiplied) != Ok)
        return nullptr;
    return GdiplusImagePtr(premultiplied);
}

FrameOutcome Convert(const std::string& sourcePath, const std::string& frameFileName, int orientation,
                     const FrameCanvas& canvas)
{
    GdiplusSession gdiplus(g_gdiplus);
    CLSID encoder;
    if (!gdiplus || !FindJpegEncoder(encoder))
        return {};
    GdiplusImagePtr image = Decode(sourcePath, orientation, canvas);
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

FrameOutcome ConvertToJpeg(const std::string& sourcePath, const std::string& frameFileName, const FrameCanvas& canvas)
{
    return Convert(sourcePath, frameFileName, 1, canvas);
}

FrameOutcome WriteUprightJpeg(const std::string& sourcePath, const std::string& frameFileName,
                              const FrameCanvas& canvas)
{
    CImageFile header;
    header.LoadHeader(sourcePath);
    SIZE stored = header.GetSize();
    ImageDimensions upright = UprightSize({stored.cx, stored.cy}, header.GetOrientation());
    if (header.GetOrientation() == 1 && !NeedsCanvas(canvas, upright))
        return {FrameStatus::AsShot};
    return Convert(sourcePath, frameFileName, header.GetOrientation(), canvas);
}

ImageDimensions UprightSize(ImageDimensions stored, int orientation)
{
    // Orientations 5 to 8 are turned by a quarter.
    return orientation >= 5 ? ImageDimensions{stored.height, stored.width} : stored;
}
