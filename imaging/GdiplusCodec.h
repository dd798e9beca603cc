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

// An owner for any other GDI+ object, freed by the flat API's function for its kind.
template <typename T, Gdiplus::GpStatus(WINGDIPAPI* Free)(T*)>
struct GdiplusDeleter {
    void operator()(T* object) const { Free(object); }
};
template <typename T, Gdiplus::GpStatus(WINGDIPAPI* Free)(T*)>
using GdiplusPtr = std::unique_ptr<T, GdiplusDeleter<T, Free>>;

// Turns a decoded picture the way its EXIF orientation (1..8) says it is seen; false for any
// other number or when GDI+ fails.
bool TurnUpright(Gdiplus::GpImage* image, int orientation);

// The class id of the first encoder the codec lists for the JPEG format; GDI+ must be up.
bool FindJpegEncoder(CLSID& encoder);
