// One BMP, PNG or GIF image re-encoded as a JPEG frame.
#pragma once

#include "video/FrameFile.h"

#include <string>

// Decodes the source and writes it as a JPEG file at the codec's default settings. A source
// that cannot be decoded is Unreadable; a failed write leaves no partial file behind.
FrameOutcome ConvertToJpeg(const std::string& sourcePath, const std::string& frameFileName);
