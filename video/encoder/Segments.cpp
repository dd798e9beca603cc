#include "video/encoder/Segments.h"

#include "video/encoder/EncoderCommandLine.h"

#include <algorithm>
#include <cstdio>

namespace {

// Each segment is at least the longest deflicker window: ffmpeg 4.1's deflicker crashes on a
// sequence shorter than its window, and the last segment's sequence ends with its own frames.
constexpr int MIN_SEGMENT_FRAMES = 10;
// As many encoders as one wait can watch.
constexpr int64_t MAX_SEGMENTS = 64;

// Containers whose segments join into what one run makes: frame-exact timestamps.
// FLV counts time in milliseconds, so a join at a rate that does not divide 1000 would
// shift a frame by a millisecond where one run would not.
bool CanJoin(const std::string& extension)
{
    return extension == "mp4" || extension == "avi";
}

// Quoted, the list's reader takes every character as it is up to the next quote; a quote is
// closed, escaped and reopened.
std::string ConcatQuoted(const std::string& path)
{
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

SegmentPlan PlanSegments(unsigned cores, int64_t minSegmentPixels, int frameCount, int64_t framePixels,
                         const std::string& destinationFile)
{
    return CanJoin(LowerCaseExtension(destinationFile)) ? PlanShares(cores, minSegmentPixels, frameCount, framePixels)
                                                        : SegmentPlan{};
}

SegmentPlan PlanShares(unsigned cores, int64_t minSegmentPixels, int frameCount, int64_t framePixels)
{
    SegmentPlan plan;
    int64_t byFrames = frameCount / MIN_SEGMENT_FRAMES;
    int64_t work = frameCount * std::max<int64_t>(framePixels, 0);
    int64_t byWork = minSegmentPixels > 0 ? work / minSegmentPixels : MAX_SEGMENTS;
    int count = static_cast<int>(std::min<int64_t>({cores, MAX_SEGMENTS, byFrames, byWork}));
    if (count < 2)
        return plan;
    for (int i = 0; i < count; ++i) {
        int first = static_cast<int>(static_cast<int64_t>(frameCount) * i / count);
        int end = static_cast<int>(static_cast<int64_t>(frameCount) * (i + 1) / count);
        plan.segments.push_back({first + 1, end - first});
    }
    plan.threadsEach = std::max(1, static_cast<int>(cores) / count);
    return plan;
}

std::string SegmentFileName(const std::string& workFiles, size_t index, const std::string& destinationFile)
{
    return workFiles + "_seg" + std::to_string(index + 1) + "." + LowerCaseExtension(destinationFile);
}

std::string ConcatList(const std::vector<std::string>& segmentFiles, const std::vector<Segment>& segments,
                       int frameRate)
{
    std::string list = "ffconcat version 1.0\n";
    for (size_t i = 0; i < segmentFiles.size() && i < segments.size(); ++i) {
        char duration[32];
        std::snprintf(duration, sizeof(duration), "%.6f", static_cast<double>(segments[i].frameCount) / frameRate);
        list += "file " + ConcatQuoted("file:" + segmentFiles[i]) + "\nduration " + duration + "\n";
    }
    return list;
}

std::string BuildJoinCommandLine(const std::string& destinationFile)
{
    bool mp4 = LowerCaseExtension(destinationFile) == "mp4";
    return std::string(" -y -protocol_whitelist file,pipe -f concat -safe 0 -i pipe:0 -map 0 -c copy")
         + (mp4 ? " -movflags +faststart" : "") + " \"" + destinationFile + "\"";
}
