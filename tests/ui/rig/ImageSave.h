// Saving a GDI+ image with the encoder of a MIME type ("image/png" ...); GDI+ must be started.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

namespace rig {

bool SaveImageAs(Gdiplus::Image& image, const std::string& path, const wchar_t* mimeType);

} // namespace rig
