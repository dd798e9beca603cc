// What the image object and the frame conversion share of GDI+: an owner for its images and
// the platform's JPEG encoder.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

struct GdiplusImageDeleter {
    void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using GdiplusImagePtr = std::unique_ptr<Gdiplus::GpImage, GdiplusImageDeleter>;

// Turns a decoded picture the way its EXIF orientation (1..8) says it is seen; false for any
// other number or when GDI+ fails.
bool TurnUpright(Gdiplus::GpImage* image, int orientation);

// The class id of the first encoder the codec lists for the JPEG format; GDI+ must be up.
bool FindJpegEncoder(CLSID& encoder);
