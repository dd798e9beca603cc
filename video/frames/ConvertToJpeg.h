// One BMP, PNG or GIF image, or a JPEG stored turned or mirrored, written as an upright JPEG frame.
#pragma once

#include "app/SettingsRules.h"
#include "imaging/ImageHeader.h"
#include "video/frames/FrameFile.h"

#include <gdiplus.h>

#include <string>

// The picture every frame is drawn into, fitted with black bars, filled and cropped or
// stretched, for an encoder that cannot take frames of differing shapes; without a size a
// frame keeps its own.
struct FrameCanvas {
    ImageDimensions size;
    int framing = settings_rules::FRAMING_FIT;
};

// What every frame is encoded with: quality 95, stated rather than left to the codec's default,
// which Windows does not document.
class CJpegFrameParameters {
public:
    static constexpr ULONG QUALITY = 95;
    CJpegFrameParameters();
    CJpegFrameParameters(const CJpegFrameParameters&) = delete;
    CJpegFrameParameters& operator=(const CJpegFrameParameters&) = delete;
    const Gdiplus::EncoderParameters* Get() const { return &m_parameters; }

private:
    ULONG m_quality = QUALITY;
    Gdiplus::EncoderParameters m_parameters;
};

// Decodes the source and writes it as a JPEG file of quality 95 that carries none of the
// source's metadata. A source that cannot be decoded is Unreadable; a frame that cannot be
// encoded or written is WriteFailed and leaves no partial file behind.
FrameOutcome ConvertToJpeg(const std::string& sourcePath, const std::string& frameFileName,
                           const FrameCanvas& canvas = {});

// A JPEG whose EXIF orientation says it is seen turned or mirrored, or whose shape is not the
// canvas's, is decoded, turned upright, framed and written as a new JPEG;
// any other is AsShot, and nothing is written.
FrameOutcome WriteUprightJpeg(const std::string& sourcePath, const std::string& frameFileName,
                              const FrameCanvas& canvas);

// A frame the encoder framed, with the stamp of the photo it shows drawn in, written as a JPEG
// frame of quality 95. One that cannot be read is Unreadable.
FrameOutcome StampFrame(const std::string& framedPath, const std::string& photoPath, int stamp,
                        const std::string& frameFileName);

// The size a picture of this stored size is seen at, turned as its EXIF orientation says.
ImageDimensions UprightSize(ImageDimensions stored, int orientation);
