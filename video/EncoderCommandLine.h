// Names of the frame sequence and the encoder's command line, free of any platform call.
#pragma once

#include <ctime>
#include <string>

// The 14-digit local time that names one run's frames: "%Y%m%d%H%M%S".
std::string FormatTimePrefix(const std::tm& localTime);

// "%s%s_%04d.jpg" over the temporary folder (ending in "\"), the time prefix and the number.
std::string FormatFrameFileName(const std::string& tempFolder, const std::string& timePrefix, int frameNumber);

// "-s WxH" for the stored video size (clamped to 1..6); empty for the images' own size.
std::string VideoSizeOption(int videoSize);

// The encoder's arguments after an empty program name: rate, input pattern, size, destination.
std::string BuildEncoderCommandLine(int frameRate, int videoSize, const std::string& tempFolder,
                                    const std::string& timePrefix, const std::string& destinationFile);
