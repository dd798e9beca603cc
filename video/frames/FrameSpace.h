// Whether a run's frames can fit in the temporary folder before any is written.
#pragma once

#include "filelist/ImageFileList.h"
#include "imaging/ImageHeader.h"

#include <string>
#include <vector>

// False when the frames clearly cannot fit in the free space of the temporary folder's
// volume: JPEG sources that can be linked there need nothing, copies their size, and
// conversions a floor below any JPEG the codec makes of them. Its probes are named from the
// run's work files (temporary folder and time prefix).
bool FramesCanFit(const std::vector<ImageFileInfo>& rows, const std::string& tempFolder, const std::string& workFiles);

// False when the temporary folder's volume has no room for frameCount 24-bit BMPs of the
// video's size.
bool FramedCanFit(const std::string& tempFolder, int frameCount, ImageDimensions videoSize);

// False when the temporary folder's volume clearly has no room for segments of frameCount
// frames of the video's size, made before they are joined into the destination.
bool SegmentsCanFit(const std::string& tempFolder, int frameCount, ImageDimensions videoSize);
