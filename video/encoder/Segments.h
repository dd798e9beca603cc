// How one video is cut into consecutive segments that encoders make at once, and how the
// segments are joined again without re-encoding. Free of any platform call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Segment {
    int firstFrame;  // the sequence's own number, from 1
    int frameCount;
};

struct SegmentPlan {
    std::vector<Segment> segments;  // fewer than two: one encoder run over all the frames
    int threadsEach = 0;
};

// Below this much picture to read per segment, starting another encoder and joining cost more
// than they save (measured under Wine: bench/run-video.sh).
constexpr int64_t MIN_SEGMENT_PIXELS = 240'000'000;

// The cut for so many cores of frameCount frames of framePixels each (as read, before any
// scaling) into a destination of that extension, each segment at least minSegmentPixels.
SegmentPlan PlanSegments(unsigned cores, int64_t minSegmentPixels, int frameCount, int64_t framePixels,
                         const std::string& destinationFile);

// The same cut for encoders whose outputs need no join.
SegmentPlan PlanShares(unsigned cores, int64_t minSegmentPixels, int frameCount, int64_t framePixels);

// "<workFiles>_seg<n>.<extension of the destination>", n from 1.
std::string SegmentFileName(const std::string& workFiles, size_t index, const std::string& destinationFile);

// The concat demuxer's list, naming the segments as files by their whole paths: a name
// relative to a list read from the encoder's input, or a path without "file:", resolves
// differently from one encoder version to the next. Each segment's length is stated: the length its container reports is rounded to
// milliseconds.
std::string ConcatList(const std::vector<std::string>& segmentFiles, const std::vector<Segment>& segments,
                       int frameRate);

// The encoder's arguments (after an empty program name) that copy the segments listed on its
// input into the destination, as one run would have laid it out.
std::string BuildJoinCommandLine(const std::string& destinationFile);
