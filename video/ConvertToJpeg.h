// One BMP, PNG or GIF image re-encoded as a JPEG frame.
#pragma once

#include <string>

// True when the frame file was written; a failed write leaves no partial file behind.
bool ConvertToJpeg(const std::string& sourcePath, const std::string& frameFileName);
