// What is sized or drawn in pixels follows the window's dots per inch; dialog units scale
// by themselves.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

// Sent to child windows after their dialog's WM_DPICHANGED (Windows 10 1703 on); the headers
// name it only for targets newer than ours.
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace fw {

// The DPI every pixel length in the code is written for.
constexpr UINT DESIGN_DPI = 96;

// The window's own DPI where the system knows one (Windows 10 1607 on), else its DC's.
UINT DpiForWindow(HWND window);
// A length written for 96 dpi, at the window's DPI.
int ScaleToWindow(HWND window, int pixels);
// Squeezed pixels are averaged, not dropped or ANDed together as the default mode does.
void UseHalftoneStretching(HDC dc);
// A copy of the bitmap stretched to the size; empty when GDI refuses.
unique_hbitmap StretchedCopy(HBITMAP source, int width, int height);
// The system's fonts and metrics for the DPI (SystemParametersInfoForDpi, Windows 10 1607
// on; before, the system DPI's metrics with their fonts' heights scaled to it); zeroed when
// the system cannot say.
void NonClientMetricsForDpi(UINT dpi, NONCLIENTMETRICSW& metrics);
// A control of a dialog whose font its owner makes: the dialog manager then sends it no
// font of its own on a DPI change (Windows 10 1703 on; nothing before, where it sends none).
void KeepOwnFontOnDpiChange(HWND control);

} // namespace fw
