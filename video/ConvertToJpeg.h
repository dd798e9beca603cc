// One BMP, PNG or GIF image, or a JPEG stored turned or mirrored, written as an upright JPEG frame.
#pragma once

#include "app/SettingsRules.h"
#include "imaging/ImageHeader.h"
#include "video/FrameFile.h"

#include <string>

// The picture every frame is drawn into, fitted with black bars or filled and cropped, for an
// encoder that cannot take frames of differing shapes; without a size a frame keeps its own.
struct FrameCanvas {
    ImageDimensions size;
    int framing = settings_rules::FRAMING_FIT;
};

// Decodes the source and writes it as a JPEG file at the codec's default settings. A source
// that cannot be decoded is Unreadable; a failed write leaves no partial file behind.
FrameOutcome ConvertToJpeg(const std::string& sourcePath, const std::string& frameFileName,
                           const FrameCanvas& canvas = {});

// A JPEG whose EXIF orientation says it is seen turned or mirrored, or whose shape is not the
// canvas's, is decoded, turned upright, framed and written as a new JPEG; any other is AsShot,
// and nothing is written.
FrameOutcome WriteUprightJpeg(const std::string& sourcePath, const std::string& frameFileName,
                              const FrameCanvas& canvas);

// The size a picture of this stored size is seen at, turned as its EXIF orientation says.
ImageDimensions UprightSize(ImageDimensions stored, int orientation);
