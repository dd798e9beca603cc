#include "video/frames/ConvertToJpeg.h"

#include "app/Globals.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "imaging/GdiplusCodec.h"
#include "imaging/ImageFile.h"
#include "video/frames/HalftoneDraw.h"
#include "video/frames/StampPainter.h"
#include "video/frames/StampText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <objidl.h>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

using GraphicsPtr = GdiplusPtr<GpGraphics, GdipDeleteGraphics>;

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

// The picture scaled by one factor and centred on a black canvas, whole or covering it, or
// stretched over it. The canvas is a new bitmap, so nothing of the source's
// metadata comes along: Windows' codec would write the source's EXIF into the frame, and can
// fail on a property it cannot write.
GdiplusImagePtr Framed(GpBitmap* picture, ImageDimensions size, const FrameCanvas& canvas)
{
    double across = static_cast<double>(canvas.size.width) / size.width;
    double down = static_cast<double>(canvas.size.height) / size.height;
    if (canvas.framing != settings_rules::FRAMING_STRETCH)
        across = down = canvas.framing == settings_rules::FRAMING_FILL ? std::max(across, down) : std::min(across, down);
    auto width = std::lround(size.width * across);
    auto height = std::lround(size.height * down);
    auto left = (canvas.size.width - width) / 2;
    auto top = (canvas.size.height - height) / 2;
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromScan0(canvas.size.width, canvas.size.height, 0, PixelFormat24bppRGB, nullptr, &raw) != Ok)
        return nullptr;
    GdiplusImagePtr framed(raw);
    GpGraphics* drawing = nullptr;
    if (GdipGetImageGraphicsContext(raw, &drawing) != Ok)
        return nullptr;
    GraphicsPtr graphics(drawing);
    RECT target{left, top, left + width, top + height};
    if (GdipGraphicsClear(drawing, 0xFF000000) != Ok || !DrawHalftone(drawing, picture, target))
        return nullptr;
    return framed;
}

// The decoded picture upright on a canvas of its own size, or framed on the one given; what is
// transparent comes out black.
GdiplusImagePtr Decode(const std::string& sourcePath, int orientation, const FrameCanvas& canvas)
{
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromFile(fw::ToWide(sourcePath).c_str(), &raw) != Ok || !raw)
        return nullptr;
    GdiplusImagePtr decoded(raw);
    UINT width = 0, height = 0;
    if (!TurnUpright(raw, orientation) || GdipGetImageWidth(raw, &width) != Ok || GdipGetImageHeight(raw, &height) != Ok
        || width == 0 || height == 0)
        return nullptr;
    ImageDimensions size{static_cast<int>(width), static_cast<int>(height)};
    return Framed(raw, size, NeedsCanvas(canvas, size) ? canvas : FrameCanvas{size});
}

// Encoded into memory first, so a failed write carries the system's reason.
FrameOutcome WriteJpeg(GpImage* image, const CLSID& encoder, const std::string& frameFileName)
{
    const FrameOutcome notEncoded{FrameStatus::WriteFailed, ERROR_WRITE_FAULT};
    CJpegFrameParameters parameters;
    fw::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))
        || GdipSaveImageToStream(image, stream.get(), &encoder, parameters.Get()) != Ok)
        return notEncoded;
    ULARGE_INTEGER size{};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size)) || FAILED(::GetHGlobalFromStream(stream.get(), &memory)))
        return notEncoded;
    fw::GlobalLockGuard bytes(memory);
    if (!bytes.get())
        return notEncoded;
    return WriteFrameFile(frameFileName, bytes.get(), static_cast<size_t>(size.QuadPart));
}

FrameOutcome Convert(const std::string& sourcePath, const std::string& frameFileName, int orientation,
                     const FrameCanvas& canvas)
{
    GdiplusSession gdiplus(g_gdiplus);
    CLSID encoder;
    if (!gdiplus || !FindJpegEncoder(encoder))
        return {};
    GdiplusImagePtr image = Decode(sourcePath, orientation, canvas);
    return image ? WriteJpeg(image.get(), encoder, frameFileName) : FrameOutcome{};
}

} // namespace

CJpegFrameParameters::CJpegFrameParameters()
    : m_parameters{1, {{EncoderQuality, 1, EncoderParameterValueTypeLong, &m_quality}}}
{
}

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

FrameOutcome StampFrame(const std::string& framedPath, const std::string& photoPath, int stamp,
                        const std::string& frameFileName)
{
    GdiplusSession gdiplus(g_gdiplus);
    CLSID encoder;
    GpBitmap* raw = nullptr;
    if (!gdiplus || !FindJpegEncoder(encoder) || GdipCreateBitmapFromFile(fw::ToWide(framedPath).c_str(), &raw) != Ok
        || !raw)
        return {};
    GdiplusImagePtr framed(raw);
    UINT width = 0, height = 0;
    GpGraphics* drawing = nullptr;
    if (GdipGetImageWidth(raw, &width) != Ok || GdipGetImageHeight(raw, &height) != Ok
        || GdipGetImageGraphicsContext(raw, &drawing) != Ok)
        return {};
    {
        GraphicsPtr graphics(drawing);
        if (!DrawStamp(drawing, StampText(photoPath, stamp), {static_cast<int>(width), static_cast<int>(height)}))
            return {FrameStatus::WriteFailed, ERROR_WRITE_FAULT};
    }
    return WriteJpeg(raw, encoder, frameFileName);
}

ImageDimensions UprightSize(ImageDimensions stored, int orientation)
{
    // Orientations 5 to 8 are turned by a quarter.
    return orientation >= 5 ? ImageDimensions{stored.height, stored.width} : stored;
}
