// A DIB section with the drawing and GDI+ conversions the program needs. Every live object
// counts as an image for GDI+'s start-up object.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

#include <optional>
#include <string>

namespace Gdiplus {
class GpBitmap;
struct ColorPalette;
}

class CDibImage {
public:
    CDibImage();
    ~CDibImage();
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    static constexpr DWORD CREATE_HAS_ALPHA = 1;
    bool CreateDib(int width, int height, int bitsPerPixel, DWORD compression, const DWORD* masks, DWORD flags);
    HRESULT CreateFromGdiplusBitmap(Gdiplus::GpBitmap* bitmap);
    // Decoded and turned as the EXIF orientation (1..8) says the picture is seen.
    HRESULT LoadFromFile(const std::string& path, int orientation = 1);

    HDC GetMemoryDC();
    void ReleaseMemoryDC();
    HBITMAP DetachBitmap();
    void DestroyBitmap();
    // The whole image scaled into the rectangle; alpha images are blended.
    bool Draw(HDC dc, const RECT& destination);

    HBITMAP GetBitmap() const { return m_bitmap.get(); }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    BYTE* GetBits() const { return m_bits; }
    int GetPitch() const { return m_pitch; }
    int GetBitsPerPixel() const { return m_bitsPerPixel; }
    bool HasAlpha() const { return m_hasAlpha; }

private:
    void ReturnMemoryDC();
    void SetColorTable(const Gdiplus::ColorPalette& palette, size_t capacity);

    fw::unique_hbitmap m_bitmap;
    BYTE* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_pitch = 0;
    int m_bitsPerPixel = 0;
    bool m_hasAlpha = false;
    // Borrowed from the DC cache while in use, with the bitmap selected into it.
    HDC m_memoryDC = nullptr;
    std::optional<fw::ScopedSelect> m_selection;
    int m_dcUseCount = 0;
};
