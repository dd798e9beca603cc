// Names of the frame sequence and the encoder's command line, free of any platform call.
#pragma once

#include "imaging/ImageHeader.h"

#include <ctime>
#include <string>

// The extension of a path, in lower case; empty when it has none.
std::string LowerCaseExtension(const std::string& path);

// The size of the video for the stored size choice and the first frame's size.
ImageDimensions VideoDimensions(int videoSize, ImageDimensions firstFrame);

// The 14-digit local time that names one run's frames: "%Y%m%d%H%M%S".
std::string FormatTimePrefix(const std::tm& localTime);

// "%s%s_%04d.jpg" over the temporary folder (ending in "\"), the time prefix and the number.
std::string FormatFrameFileName(const std::string& tempFolder, const std::string& timePrefix, int frameNumber);

// "%s%s_framed_%04d.bmp": a frame as the encoder framed it, for the program to stamp.
std::string FormatFramedFileName(const std::string& tempFolder, const std::string& timePrefix, int frameNumber);

// The encoder's arguments after an empty program name: rate, input pattern, then the size and
// framing: stretched to the size choice ("-s WxH", clamped to 1..8) or to the first frame's,
// or fitted with bars or filled and cropped (framing 1..3); then the codec settings for the
// destination's extension (mp4, avi, flv) at the quality (1..3), destination. The images' own
// size is the first frame's with even sides. With deflicker on, a sequence of frameCount frames is smoothed
// over a window that fits in it.
// What one of several encoders run at once makes: frameCount frames from the sequence's
// firstFrame on, on so many threads (0: all the frames, the encoder's own choice). Its input
// runs on past its frames, so the deflicker's window, which looks ahead, sees what one run's sees.
struct EncoderShare {
    int firstFrame = 1;
    int frameCount = 0;
    int threads = 0;
};

// A draft for a quick look: the video's shape at a small size, made as fast as x264 can, from
// JPEG frames the decoder reads at 1/2^lowres of their size.
struct EncoderDraft {
    bool on = false;
    ImageDimensions size;  // 0 x 0: unknown, the frames keep their own
    int lowres = 0;
};

// The draft of a video of that size whose frames start as firstFrame (as stored).
EncoderDraft PlanDraft(ImageDimensions video, ImageDimensions firstFrame);

// A frame's size as the JPEG decoder reads it at that lowres.
ImageDimensions DecodedSize(ImageDimensions frame, int lowres);

// firstFrame is the first frame's size as the encoder decodes it.
std::string BuildEncoderCommandLine(int frameRate, int videoSize, int framing, bool deflicker, int quality,
                                    ImageDimensions firstFrame, int frameCount, const std::string& tempFolder,
                                    const std::string& timePrefix, const std::string& destinationFile,
                                    const EncoderShare& share = {}, const EncoderDraft& draft = {});

// The encoder's arguments that frame its share of the sequence as chosen (framing 1..3) into
// pictures of the video's size, written as 24-bit BMPs numbered as the sequence is, each JPEG
// decoded at 1/2^lowres of its size.
std::string BuildFramingCommandLine(int framing, ImageDimensions video, int lowres, const std::string& tempFolder,
                                    const std::string& timePrefix, const EncoderShare& share);
