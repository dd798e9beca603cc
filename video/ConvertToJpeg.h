// One BMP, PNG or GIF image, or a JPEG stored turned or mirrored, written as an upright JPEG frame.
#pragma once

#include "video/FrameFile.h"

#include <string>

// Decodes the source and writes it as a JPEG file at the codec's default settings. A source
// that cannot be decoded is Unreadable; a failed write leaves no partial file behind.
FrameOutcome ConvertToJpeg(const std::string& sourcePath, const std::string& frameFileName);

// A JPEG whose EXIF orientation says it is seen turned or mirrored is decoded, turned upright
// and written as a new JPEG; one already upright is AsShot, and nothing is written.
FrameOutcome WriteUprightJpeg(const std::string& sourcePath, const std::string& frameFileName);
