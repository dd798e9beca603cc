#include "video/encoder/EncoderCommandLine.h"

#include "app/SettingsRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

constexpr int SIZE_4K = 8;
constexpr int DRAFT_MAX_WIDTH = 640;
// mjpeg's smallest scale, 1/8.
constexpr int MAX_LOWRES = 3;
// 4:2:0 needs even sides. Dropping the odd last column or line keeps every other pixel as shot;
// scaling by a pixel would resample, and soften, the whole picture.
constexpr char EVEN_CROP[] = "crop=trunc(iw/2)*2:trunc(ih/2)*2:0:0";

// Each size choice's width and height; the first choice is the images' own size.
ImageDimensions FixedSize(int sizeChoice)
{
    static const ImageDimensions SIZES[settings_rules::VIDEO_SIZE_COUNT] = {
        {0, 0}, {180, 120}, {360, 240}, {720, 240}, {720, 480}, {1280, 720}, {1920, 1080}, {3840, 2160}};
    return SIZES[sizeChoice - 1];
}

std::string SizeText(ImageDimensions size)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

// With deflicker on, every frame enters the filters at the first frame's size: a frame of
// another size or sampling would make the encoder rebuild its filters and lose the frames the
// deflicker holds (-reinit_filter 0), and ffmpeg 4.1 then crashes.
std::string FirstFrameSize(bool deflicker, ImageDimensions firstFrame)
{
    return deflicker && firstFrame.width > 0 && firstFrame.height > 0 ? "scale=s=" + SizeText(firstFrame) + "," : "";
}

// Ten frames smooth an exposure that jumps from shot to shot yet follow a slow dusk; a shorter
// sequence is smoothed over all its frames, since ffmpeg 4.1 crashes on one shorter than the
// window.
std::string Deflicker(int frameCount)
{
    return "deflicker=size=" + std::to_string(std::min(frameCount, 10));
}

// What stretches every frame to the video's size: the size option, or the first frame's size.
std::string StretchFilters(const std::string& size, bool ownSize, bool deflicker, ImageDimensions firstFrame,
                           int frameCount)
{
    std::string filters;
    if (deflicker)
        filters = (ownSize ? FirstFrameSize(deflicker, firstFrame) : "scale=s=" + size + ",") + Deflicker(frameCount);
    if (ownSize)
        filters += std::string(filters.empty() ? "" : ",") + EVEN_CROP;
    return filters;
}

// Every frame fitted whole inside the video with even black bars, or scaled to cover it with
// its edges cropped; then square pixels.
std::string FramingFilters(int framing, ImageDimensions video, bool ownSize, bool deflicker, ImageDimensions firstFrame,
                           int frameCount)
{
    std::string w = std::to_string(video.width);
    std::string h = std::to_string(video.height);
    std::string filters = FirstFrameSize(deflicker, firstFrame) + (ownSize ? std::string(EVEN_CROP) + "," : "");
    if (framing == settings_rules::FRAMING_FILL) {
        std::string factor = "max(" + w + "/iw\\," + h + "/ih)";
        filters += "scale=w=2*ceil(iw*" + factor + "/2):h=2*ceil(ih*" + factor + "/2),crop=" + w + ":" + h;
    } else {
        // The picture's sides differ from the video's by a multiple of 4, so each bar is even
        // and 4:2:0 places the picture exactly in the middle.
        std::string factor = "min(" + w + "/iw\\," + h + "/ih)";
        filters += "scale=w=" + w + "-4*round((" + w + "-iw*" + factor + ")/4):h=" + h + "-4*round((" + h + "-ih*"
                 + factor + ")/4),pad=" + w + ":" + h + ":(ow-iw)/2:(oh-ih)/2";
    }
    filters += ",setsar=1";
    return deflicker ? filters + "," + Deflicker(frameCount) : filters;
}

// x264's settings for each quality. Standard adds nothing, so its videos stay what they always
// were: x264's own -crf 23 at the medium preset. On camera photos at 1080P, 28 gives about 0.4
// of the file and 18 at the slow preset about 2.2 times it (bench/run-quality.sh).
std::string RateFactor(int quality)
{
    if (quality == settings_rules::QUALITY_BEST)
        return " -crf 18 -preset slow";
    return quality == settings_rules::QUALITY_SMALLER ? " -crf 28" : "";
}

// The fixed quantiser of MPEG-4 Part 2 and Sorenson H.263 for each quality: 5 gives about a
// quarter of standard's file, 1 about four times it. It stops at -qmin, 2 unless told.
std::string Quantiser(int quality)
{
    if (quality == settings_rules::QUALITY_BEST)
        return " -qmin 1 -q:v 1";
    return quality == settings_rules::QUALITY_SMALLER ? " -q:v 5" : " -q:v 2";
}

// Options every ffmpeg since 4.0 knows.
std::string CodecOptions(const std::string& extension, int sizeChoice, bool segment, int quality, bool draft)
{
    if (extension == "mp4") {
        // What Windows' own H.264 decoder takes: High profile or lower, 8-bit 4:2:0, level
        // 5.1 at most. 4K above 30 frames a second would be 5.2, which differs from 5.1 only
        // in the promised decoding speed, not in any buffer or bit rate.
        // Limited range, as players expect: ffmpeg 7 would otherwise carry a camera JPEG's full
        // range into the video.
        return std::string(" -c:v libx264 -pix_fmt yuv420p -color_range tv -profile:v high")
             + (sizeChoice == SIZE_4K && !draft ? " -level 5.1" : "")
             + (draft ? " -preset ultrafast" : RateFactor(quality))
             // Only the joined video needs its index first; a segment's would be moved for nothing.
             + (segment ? "" : " -movflags +faststart");
    }
    // A fixed quantiser of 2 keeps a photographic pan at SSIM 0.97 or better; players know
    // MPEG-4 Part 2 in AVI by the Xvid tag.
    if (extension == "avi")
        return " -c:v mpeg4 -vtag xvid" + Quantiser(quality);
    if (extension == "flv")
        return " -c:v flv1" + Quantiser(quality);
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

EncoderDraft PlanDraft(ImageDimensions video, ImageDimensions firstFrame)
{
    if (video.width <= 0 || video.height <= 0)
        return {true, {0, 0}, 0};
    EncoderDraft draft{true, video, 0};
    if (video.width > DRAFT_MAX_WIDTH) {
        long halfHeight = std::lround(0.5 * video.height * DRAFT_MAX_WIDTH / video.width);
        draft.size = {DRAFT_MAX_WIDTH, 2 * std::max(1, static_cast<int>(halfHeight))};
    }
    for (; draft.lowres < MAX_LOWRES; ++draft.lowres) {
        ImageDimensions smaller = DecodedSize(firstFrame, draft.lowres + 1);
        if (smaller.width < draft.size.width || smaller.height < draft.size.height)
            break;
    }
    return draft;
}

ImageDimensions DecodedSize(ImageDimensions frame, int lowres)
{
    int scale = 1 << lowres;
    return {(frame.width + scale - 1) / scale, (frame.height + scale - 1) / scale};
}

ImageDimensions VideoDimensions(int videoSize, ImageDimensions firstFrame)
{
    int sizeChoice = settings_rules::ClampInt(videoSize, 1, settings_rules::VIDEO_SIZE_COUNT);
    if (sizeChoice == 1)
        return {firstFrame.width / 2 * 2, firstFrame.height / 2 * 2};
    return FixedSize(sizeChoice);
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

std::string FormatFramedFileName(const std::string& tempFolder, const std::string& timePrefix, int frameNumber)
{
    char number[24];
    std::snprintf(number, sizeof(number), "_framed_%04d.bmp", frameNumber);
    return tempFolder + timePrefix + number;
}

std::string BuildEncoderCommandLine(int frameRate, int videoSize, int framing, bool deflicker, int quality,
                                    ImageDimensions firstFrame, int frameCount, const std::string& tempFolder,
                                    const std::string& timePrefix, const std::string& destinationFile,
                                    const EncoderShare& share, const EncoderDraft& draft)
{
    // One frame has nothing to smooth.
    deflicker = deflicker && frameCount > 1;
    int sizeChoice = settings_rules::ClampInt(videoSize, 1, settings_rules::VIDEO_SIZE_COUNT);
    framing = settings_rules::ClampInt(framing, 1, settings_rules::FRAMING_STRETCH);
    quality = settings_rules::ClampInt(quality, settings_rules::QUALITY_SMALLER, settings_rules::QUALITY_BEST);
    bool ownSize = sizeChoice == 1 && !(draft.on && draft.size.width > 0);
    ImageDimensions video = draft.on ? draft.size : VideoDimensions(sizeChoice, firstFrame);
    // Without the first frame's size there is nothing to fit into: the frames keep their own.
    bool stretch = framing == settings_rules::FRAMING_STRETCH || video.width <= 0 || video.height <= 0;
    std::string size = stretch && !ownSize ? "-s " + SizeText(video) : "";
    std::string filters = stretch ? StretchFilters(SizeText(video), ownSize, deflicker, firstFrame, frameCount)
                                  : FramingFilters(framing, video, ownSize, deflicker, firstFrame, frameCount);
    // The leading blank leaves the program-name token empty, so every piece below reaches
    // the encoder as an argument. The frames are upright already: an encoder that turns a
    // JPEG by its orientation tag is told not to. The container follows the extension.
    return " -r " + std::to_string(settings_rules::ClampInt(frameRate, 1, 50)) + " -y -f image2 -noautorotate"
         + (share.firstFrame > 1 ? " -start_number " + std::to_string(share.firstFrame) : "")
         + (deflicker ? " -reinit_filter 0" : "")
         + (draft.lowres > 0 ? " -lowres " + std::to_string(draft.lowres) : "") + " -i \"" + PatternLiteral(tempFolder + timePrefix)
         + "_%04d.jpg\" " + size
         + (filters.empty() ? "" : " -vf " + filters) + CodecOptions(LowerCaseExtension(destinationFile), sizeChoice, share.frameCount > 0, quality, draft.on)
         + (share.frameCount > 0 ? " -frames:v " + std::to_string(share.frameCount) : "")
         + (share.threads > 0 ? " -threads " + std::to_string(share.threads) : "") + " \"" + destinationFile + "\"";
}

std::string BuildFramingCommandLine(int framing, ImageDimensions video, int lowres, const std::string& tempFolder,
                                    const std::string& timePrefix, const EncoderShare& share)
{
    framing = settings_rules::ClampInt(framing, 1, settings_rules::FRAMING_STRETCH);
    std::string filters = framing == settings_rules::FRAMING_STRETCH
                            ? "scale=w=" + std::to_string(video.width) + ":h=" + std::to_string(video.height) + ",setsar=1"
                            : FramingFilters(framing, video, false, false, {}, 0);
    std::string start = share.firstFrame > 1 ? " -start_number " + std::to_string(share.firstFrame) : "";
    std::string files = PatternLiteral(tempFolder + timePrefix);
    // The image muxer numbers its pictures from its own start number, so each share writes
    // the sequence's numbers.
    return " -y -f image2 -noautorotate" + start + (lowres > 0 ? " -lowres " + std::to_string(lowres) : "") + " -i \""
         + files + "_%04d.jpg\" -vf " + filters + " -pix_fmt bgr24 -c:v bmp"
         + (share.frameCount > 0 ? " -frames:v " + std::to_string(share.frameCount) : "")
         + (share.threads > 0 ? " -threads " + std::to_string(share.threads) : "") + " -f image2" + start + " \"" + files
         + "_framed_%04d.bmp\"";
}
