#include "imaging/DibImage.h"

#include "app/Globals.h"
#include "framework/Text.h"
#include "imaging/GdiplusCodec.h"

#include <gdiplus.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

CDibImage::CDibImage()
{
    g_gdiplus.IncrementImageCount();
}

CDibImage::~CDibImage()
{
    DestroyBitmap();
    g_gdiplus.DecrementImageCount();
}

bool CDibImage::CreateDib(int width, int height, int bitsPerPixel, DWORD compression, const DWORD* masks, DWORD flags)
{
    DestroyBitmap();
    struct Info {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    };
    std::unique_ptr<Info> info(new (std::nothrow) Info());
    if (!info)
        return false;
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biWidth = width;
    info->header.biHeight = height;
    info->header.biPlanes = 1;
    info->header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info->header.biCompression = compression;
    if (bitsPerPixel > 8 && compression == BI_BITFIELDS && masks)
        std::memcpy(info->colors, masks, 3 * sizeof(DWORD));

    void* bits = nullptr;
    m_bitmap.reset(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.get()), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap)
        return false;
    HBITMAP bitmap = m_bitmap.get();

    DIBSECTION section{};
    if (::GetObjectA(bitmap, sizeof(section), &section) == sizeof(section)) {
        m_width = section.dsBmih.biWidth;
        m_height = std::abs(section.dsBmih.biHeight);
        m_bitsPerPixel = section.dsBmih.biBitCount;
        m_pitch = ((m_width * m_bitsPerPixel + 31) / 32) * 4;
        m_bits = static_cast<BYTE*>(section.dsBm.bmBits);
        // Bottom-up: point at the top row and walk upwards.
        if (height >= 0) {
            m_bits += static_cast<ptrdiff_t>(m_height - 1) * m_pitch;
            m_pitch = -m_pitch;
        }
    } else {
        BITMAP plain{};
        ::GetObjectA(bitmap, sizeof(plain), &plain);
        m_width = plain.bmWidth;
        m_height = plain.bmHeight;
        m_bitsPerPixel = plain.bmBitsPixel;
    }
    m_hasAlpha = (flags & CREATE_HAS_ALPHA) != 0;
    return true;
}

HRESULT CDibImage::CreateFromGdiplusBitmap(GpBitmap* bitmap)
{
    PixelFormat source = 0;
    GdipGetImagePixelFormat(bitmap, &source);
    PixelFormat target = PixelFormat32bppRGB;
    int bitsPerPixel = 32;
    bool alpha = false;
    DWORD compression = BI_RGB;
    // 5-6-5 pixels are no BI_RGB layout; the DIB states its masks.
    static const DWORD MASKS_565[3] = {0xF800, 0x07E0, 0x001F};
    const DWORD* masks = nullptr;
    if (source & PixelFormatGDI) {
        target = source;
        bitsPerPixel = static_cast<int>((source >> 8) & 0xFF);
        if (source == PixelFormat16bppRGB565) {
            compression = BI_BITFIELDS;
            masks = MASKS_565;
        }
    }
    if (source & PixelFormatAlpha) {
        // AlphaBlend wants premultiplied pixels.
        target = PixelFormat32bppPARGB;
        bitsPerPixel = 32;
        alpha = true;
    }
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX)
        return E_FAIL;
    if (!CreateDib(static_cast<int>(width), static_cast<int>(height), bitsPerPixel, compression, masks,
                   alpha ? CREATE_HAS_ALPHA : 0))
        return E_FAIL;

    if (source & PixelFormatIndexed) {
        INT paletteSize = 0;
        GdipGetImagePaletteSize(bitmap, &paletteSize);
        if (paletteSize >= static_cast<INT>(sizeof(ColorPalette))) {
            std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[static_cast<size_t>(paletteSize)]);
            if (!buffer) {
                DestroyBitmap();
                return E_OUTOFMEMORY;
            }
            auto* palette = reinterpret_cast<ColorPalette*>(buffer.get());
            if (GdipGetImagePalette(bitmap, palette, paletteSize) == Ok)
                SetColorTable(*palette, (paletteSize - offsetof(ColorPalette, Entries)) / sizeof(ARGB));
        }
    }

    // Locking in the target format lets GDI+ convert when the formats differ; equal ones
    // are copied row by row as they are.
    GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData data{};
    if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, target, &data) != Ok) {
        DestroyBitmap();
        return E_OUTOFMEMORY;
    }
    size_t rowBytes = (static_cast<size_t>(bitsPerPixel) * width + 7) / 8;
    const BYTE* from = static_cast<const BYTE*>(data.Scan0);
    BYTE* to = m_bits;
    for (UINT y = 0; y < height; ++y, from += data.Stride, to += m_pitch)
        std::memcpy(to, from, rowBytes);
    GdipBitmapUnlockBits(bitmap, &data);
    return S_OK;
}

void CDibImage::SetColorTable(const ColorPalette& palette, size_t capacity)
{
    UINT count = static_cast<UINT>(std::min<size_t>({palette.Count, capacity, 256}));
    RGBQUAD colors[256] = {};
    for (UINT i = 0; i < count; ++i) {
        ARGB argb = palette.Entries[i];
        colors[i] = {static_cast<BYTE>(argb), static_cast<BYTE>(argb >> 8), static_cast<BYTE>(argb >> 16), 0};
    }
    ::SetDIBColorTable(GetMemoryDC(), 0, count, colors);
    ReleaseMemoryDC();
}

HRESULT CDibImage::LoadFromFile(const std::string& path, int orientation)
{
    if (!g_gdiplus.Start())
        return E_FAIL;
    std::wstring widePath = fw::ToWide(path);
    GpBitmap* raw = nullptr;
    GpStatus status = GdipCreateBitmapFromFile(widePath.c_str(), &raw);
    GdiplusImagePtr bitmap(raw);
    if (status != Ok || !raw || !TurnUpright(raw, orientation))
        return E_FAIL;
    return CreateFromGdiplusBitmap(raw);
}

HDC CDibImage::GetMemoryDC()
{
    ++m_dcUseCount;
    if (!m_memoryDC) {
        m_memoryDC = g_dcCache.Take();
        if (m_memoryDC)
            m_selection.emplace(m_memoryDC, m_bitmap.get());
    }
    return m_memoryDC;
}

void CDibImage::ReleaseMemoryDC()
{
    if (m_dcUseCount > 0 && --m_dcUseCount == 0)
        ReturnMemoryDC();
}

void CDibImage::ReturnMemoryDC()
{
    m_selection.reset();
    if (m_memoryDC)
        g_dcCache.Give(m_memoryDC);
    m_memoryDC = nullptr;
    m_dcUseCount = 0;
}

HBITMAP CDibImage::DetachBitmap()
{
    // A bitmap still selected into the memory DC could be neither deleted nor selected elsewhere.
    ReturnMemoryDC();
    HBITMAP bitmap = m_bitmap.release();
    m_bits = nullptr;
    m_width = m_height = m_pitch = m_bitsPerPixel = 0;
    m_hasAlpha = false;
    return bitmap;
}

void CDibImage::DestroyBitmap()
{
    fw::unique_hbitmap detached(DetachBitmap());
}

bool CDibImage::Draw(HDC dc, const RECT& destination)
{
    if (!m_bitmap)
        return false;
    HDC memoryDC = GetMemoryDC();
    int width = destination.right - destination.left;
    int height = destination.bottom - destination.top;
    BOOL ok;
    if (m_hasAlpha) {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ok = ::AlphaBlend(dc, destination.left, destination.top, width, height, memoryDC, 0, 0, m_width, m_height, blend);
    } else {
        ok = ::StretchBlt(dc, destination.left, destination.top, width, height, memoryDC, 0, 0, m_width, m_height, SRCCOPY);
    }
    ReleaseMemoryDC();
    return ok != FALSE;
}
