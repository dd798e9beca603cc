// The stamp drawn into a frame: white letters outlined in black at the bottom right corner.
#pragma once

#include "imaging/ImageHeader.h"

#include <windows.h>
#include <gdiplus.h>

#include <string>

// Draws the text into the canvas the graphics draws on, its letters a fixed share of the
// canvas's height whatever the picture's size, in the system's message font (else the default
// GUI font, else a sans-serif), laid out right to left where the user's locale reads so.
// Nothing to draw is success.
bool DrawStamp(Gdiplus::GpGraphics* graphics, const std::wstring& text, ImageDimensions canvas);
