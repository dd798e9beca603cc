#include "video/EncoderCommandLine.h"

#include "app/SettingsRules.h"

#include <cstdio>

std::string FormatTimePrefix(const std::tm& localTime)
{
    char text[32] = {};
    std::strftime(text, sizeof(text), "%Y%m%d%H%M%S", &localTime);
    return text;
}

std::string FormatFrameFileName(const std::string& tempFolder, const std::string& timePrefix, int frameNumber)
{
    char number[16];
    std::snprintf(number, sizeof(number), "_%04d.jpg", frameNumber);
    return tempFolder + timePrefix + number;
}

std::string VideoSizeOption(int videoSize)
{
    static const char* const OPTIONS[] = {"", "-s 180x120", "-s 360x240", "-s 720x240", "-s 720x480", "-s 1280x720"};
    return OPTIONS[settings_rules::ClampInt(videoSize, 1, 6) - 1];
}

std::string BuildEncoderCommandLine(int frameRate, int videoSize, const std::string& tempFolder,
                                    const std::string& timePrefix, const std::string& destinationFile)
{
    // The leading blank leaves the program-name token empty, so every piece below reaches
    // the encoder as an argument.
    return " -r " + std::to_string(settings_rules::ClampInt(frameRate, 1, 50)) + " -y -f image2 -i \"" + tempFolder
         + timePrefix + "_%04d.jpg\" " + VideoSizeOption(videoSize) + " \"" + destinationFile + "\"";
}
