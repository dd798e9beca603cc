#include "app/Globals.h"

// One translation unit fixes the construction order.
CIniSettings g_settings;
CTimeLapseApp theApp;
GdiplusInit g_gdiplus;
DcCache g_dcCache;
