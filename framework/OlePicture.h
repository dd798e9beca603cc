// Pictures decoded by OLE (BMP, JPEG, GIF, icons) from bytes in memory.
#pragma once

#include "framework/ComPtr.h"

#include <windows.h>
#include <ocidl.h>

namespace fw {

// Decodes the first size bytes of a movable block, which the caller keeps.
bool LoadOlePicture(HGLOBAL block, SIZE_T size, ComPtr<IPicture>& picture);

} // namespace fw
