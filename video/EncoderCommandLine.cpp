#include "video/EncoderCommandLine.h"

#include "app/SettingsRules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr int SIZE_4K = 8;

// "WxH" of each fixed size choice; the first choice is the images' own size.
const char* FixedSize(int sizeChoice)
{
    static const char* const SIZES[settings_rules::VIDEO_SIZE_COUNT] = {
        "", "180x120", "360x240", "720x240", "720x480", "1280x720", "1920x1080", "3840x2160"};
    return SIZES[sizeChoice - 1];
}

std::string FilterOption(int sizeChoice, bool deflicker, ImageDimensions firstFrame, int frameCount)
{
    bool ownSize = sizeChoice == 1;
    // ffmpeg 4.1 crashes on a sequence shorter than the deflicker's window, and one frame has
    // nothing to smooth.
    deflicker = deflicker && frameCount > 1;
    std::string filters;
    if (deflicker) {
        // A frame of another size or sampling would make the encoder rebuild its filters and
        // forget the frames the deflicker holds (-reinit_filter 0); so every frame is brought
        // to one size before it.
        std::string size = ownSize ? std::to_string(firstFrame.width) + "x" + std::to_string(firstFrame.height)
                                   : FixedSize(sizeChoice);
        if (!ownSize || (firstFrame.width > 0 && firstFrame.height > 0))
            filters = "scale=s=" + size + ",";
        // Ten frames smooth an exposure that jumps from shot to shot yet follow a slow dusk.
        filters += "deflicker=size=" + std::to_string(std::min(frameCount, 10));
    }
    // 4:2:0 needs even sides. Dropping the odd last column or line keeps every other pixel as
    // shot; scaling by a pixel would resample, and soften, the whole picture.
    if (ownSize)
        filters += std::string(filters.empty() ? "" : ",") + "crop=trunc(iw/2)*2:trunc(ih/2)*2:0:0";
    return filters.empty() ? "" : " -vf " + filters;
}

// Options every ffmpeg since 4.0 knows.
std::string CodecOptions(const std::string& extension, int sizeChoice)
{
    if (extension == "mp4") {
        // What Windows' own H.264 decoder takes: High profile or lower, 8-bit 4:2:0, level
        // 5.1 at most. 4K above 30 frames a second would be 5.2, which differs from 5.1 only
        // in the promised decoding speed, not in any buffer or bit rate.
        return std::string(" -c:v libx264 -pix_fmt yuv420p -profile:v high")
             + (sizeChoice == SIZE_4K ? " -level 5.1" : "") + " -movflags +faststart";
    }
    // A fixed quantiser of 2 keeps a photographic pan at SSIM 0.97 or better; players know
    // MPEG-4 Part 2 in AVI by the Xvid tag.
    if (extension == "avi")
        return " -c:v mpeg4 -vtag xvid -q:v 2";
    if (extension == "flv")
        return " -c:v flv1 -q:v 2";
    return "";
}

// The encoder reads "%" in an input pattern as the start of a number field; "%%" is a "%".
std::string PatternLiteral(const std::string& text)
{
    std::string literal;
    for (char c : text)
        literal += c == '%' ? "%%" : std::string(1, c);
    return literal;
}

} // namespace

std::string LowerCaseExtension(const std::string& path)
{
    std::string::size_type dot = path.find_last_of(".\\/");
    std::string extension;
    if (dot != std::string::npos && path[dot] == '.')
        extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

ImageDimensions VideoDimensions(int videoSize, ImageDimensions firstFrame)
{
    int sizeChoice = settings_rules::ClampInt(videoSize, 1, settings_rules::VIDEO_SIZE_COUNT);
    if (sizeChoice == 1)
        return {firstFrame.width / 2 * 2, firstFrame.height / 2 * 2};
    ImageDimensions size;
    std::sscanf(FixedSize(sizeChoice), "%dx%d", &size.width, &size.height);
    return size;
}

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

std::string BuildEncoderCommandLine(int frameRate, int videoSize, bool deflicker, ImageDimensions firstFrame,
                                    int frameCount, const std::string& tempFolder, const std::string& timePrefix,
                                    const std::string& destinationFile, const EncoderShare& share)
{
    int sizeChoice = settings_rules::ClampInt(videoSize, 1, settings_rules::VIDEO_SIZE_COUNT);
    std::string size = sizeChoice == 1 ? "" : std::string("-s ") + FixedSize(sizeChoice);
    // The leading blank leaves the program-name token empty, so every piece below reaches
    // the encoder as an argument. The container follows the destination's extension.
    return " -r " + std::to_string(settings_rules::ClampInt(frameRate, 1, 50)) + " -y -f image2"
         + (share.firstFrame > 1 ? " -start_number " + std::to_string(share.firstFrame) : "")
         + (deflicker && frameCount > 1 ? " -reinit_filter 0" : "") + " -i \"" + PatternLiteral(tempFolder + timePrefix) + "_%04d.jpg\" " + size
         + FilterOption(sizeChoice, deflicker, firstFrame, frameCount) + CodecOptions(LowerCaseExtension(destinationFile), sizeChoice)
         + (share.frameCount > 0 ? " -frames:v " + std::to_string(share.frameCount) : "")
         + (share.threads > 0 ? " -threads " + std::to_string(share.threads) : "") + " \"" + destinationFile + "\"";
}
