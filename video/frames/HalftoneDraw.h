// Scaling a decoded picture into a frame with GDI's halftone stretch.
#pragma once

#include <windows.h>
#include <gdiplus.h>

// Draws the whole picture into the target rectangle of what the graphics draws on; what is
// transparent comes out black. Halftone averages the pixels each one of a smaller picture
// stands for, as GDI+'s high-quality modes do, and under Wine many times faster than they.
bool DrawHalftone(Gdiplus::GpGraphics* graphics, Gdiplus::GpBitmap* picture, const RECT& target);
