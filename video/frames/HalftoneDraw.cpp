#include "video/frames/HalftoneDraw.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The picture's pixels, read in place where their format allows.
class LockedBits {
public:
    LockedBits(GpBitmap* bitmap, PixelFormat format) : m_bitmap(bitmap)
    {
        UINT width = 0, height = 0;
        if (GdipGetImageWidth(bitmap, &width) != Ok || GdipGetImageHeight(bitmap, &height) != Ok)
            return;
        GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        m_locked = GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, format, &m_data) == Ok;
    }
    ~LockedBits()
    {
        if (m_locked)
            GdipBitmapUnlockBits(m_bitmap, &m_data);
    }
    LockedBits(const LockedBits&) = delete;
    LockedBits& operator=(const LockedBits&) = delete;
    explicit operator bool() const { return m_locked; }
    const BitmapData& Data() const { return m_data; }

private:
    GpBitmap* m_bitmap;
    BitmapData m_data{};
    bool m_locked = false;
};

// The DC GDI+ lends for drawing with GDI on what the graphics draws on.
class GraphicsDC {
public:
    explicit GraphicsDC(GpGraphics* graphics) : m_graphics(graphics)
    {
        if (GdipGetDC(graphics, &m_dc) != Ok)
            m_dc = nullptr;
    }
    ~GraphicsDC()
    {
        if (m_dc)
            GdipReleaseDC(m_graphics, m_dc);
    }
    GraphicsDC(const GraphicsDC&) = delete;
    GraphicsDC& operator=(const GraphicsDC&) = delete;
    HDC get() const { return m_dc; }

private:
    GpGraphics* m_graphics;
    HDC m_dc = nullptr;
};

// A top-down DIB over the locked rows, which GDI+ aligns to four bytes as a DIB's are.
bool DescribeRows(const BitmapData& data, int bitsPerPixel, BITMAPINFO& info)
{
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(data.Width);
    info.bmiHeader.biHeight = -static_cast<LONG>(data.Height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    return data.Stride == static_cast<INT>((data.Width * bitsPerPixel + 31) / 32 * 4);
}

} // namespace

bool DrawHalftone(GpGraphics* graphics, GpBitmap* picture, const RECT& target)
{
    PixelFormat format = PixelFormatUndefined;
    if (GdipGetImagePixelFormat(picture, &format) != Ok)
        return false;
    // Premultiplied, a transparent pixel is black, as on the black canvas.
    bool alpha = (format & PixelFormatAlpha) != 0;
    LockedBits bits(picture, alpha ? PixelFormat32bppPARGB : PixelFormat24bppRGB);
    BITMAPINFO info{};
    if (!bits || !DescribeRows(bits.Data(), alpha ? 32 : 24, info))
        return false;
    GraphicsDC dc(graphics);
    // Halftone needs the brush origin set after it is chosen.
    if (!dc.get() || !::SetStretchBltMode(dc.get(), HALFTONE) || !::SetBrushOrgEx(dc.get(), 0, 0, nullptr))
        return false;
    int lines = ::StretchDIBits(dc.get(), target.left, target.top, target.right - target.left, target.bottom - target.top,
                                0, 0, info.bmiHeader.biWidth, -info.bmiHeader.biHeight, bits.Data().Scan0, &info,
                                DIB_RGB_COLORS, SRCCOPY);
    return lines > 0 && lines != GDI_ERROR;
}
