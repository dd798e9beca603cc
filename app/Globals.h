// The process-wide objects, constructed in this order before start-up and torn down in
// reverse order at exit.
#pragma once

#include "app/GdiplusInit.h"
#include "app/IniSettings.h"
#include "app/TimeLapseApp.h"
#include "imaging/DcCache.h"

extern CIniSettings g_settings;
extern CTimeLapseApp theApp;
extern GdiplusInit g_gdiplus;
extern DcCache g_dcCache;
