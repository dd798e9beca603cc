#include "video/Segments.h"

#include <gtest/gtest.h>

namespace {

std::string Cuts(const SegmentPlan& plan)
{
    std::string text;
    for (const Segment& segment : plan.segments)
        text += std::to_string(segment.firstFrame) + "+" + std::to_string(segment.frameCount) + " ";
    return text + "threads " + std::to_string(plan.threadsEach);
}

} // namespace

// Consecutive segments cover every frame once, one per core at most, none shorter than the
// deflicker's window nor with less picture than pays; a container that cannot be joined
// exactly, one core, or too little work: one run.
TEST(Segments, CutEveryFrameOnceWhereItPays)
{
    const int64_t camera = 4000 * 3000;
    struct Case {
        unsigned cores;
        int frames;
        int64_t pixels;
        const char* destination;
        const char* cuts;
    } cases[] = {
        {2, 200, camera, "a.mp4", "1+100 101+100 threads 1"},
        {4, 201, camera, "a.AVI", "1+50 51+50 101+50 151+51 threads 1"},
        {16, 200, camera, "a.mp4", "1+20 21+20 41+20 61+20 81+20 101+20 121+20 141+20 161+20 181+20 threads 1"},
        {16, 35, 1, "a.mp4", "1+11 12+12 24+12 threads 5"},
        {8, 40, camera, "a.mp4", "1+20 21+20 threads 4"},
        {2, 200, camera, "a.flv", "threads 0"},
        {1, 200, camera, "a.mp4", "threads 0"},
        {2, 19, camera, "a.mp4", "threads 0"},
    };
    for (const Case& c : cases) {
        int64_t minimum = c.pixels == 1 ? 0 : MIN_SEGMENT_PIXELS;
        EXPECT_EQ(Cuts(PlanSegments(c.cores, minimum, c.frames, c.pixels, c.destination)), c.cuts)
            << c.cores << " cores, " << c.frames << " frames, " << c.destination;
    }
}

// The list names the segments beside it, so no folder's name meets the list's quoting, and
// states their lengths finer than the milliseconds their containers round them to.
TEST(Segments, JoinListNamesSegmentsBesideIt)
{
    std::string work = "C:\\it's 100% [temp]\\20261207183000";
    EXPECT_EQ(ConcatList({SegmentFileName(work, 0, "x.MP4"), SegmentFileName(work, 1, "x.MP4")}, {{1, 10}, {11, 20}}, 30),
              "ffconcat version 1.0\nfile '20261207183000_seg1.mp4'\nduration 0.333333\n"
              "file '20261207183000_seg2.mp4'\nduration 0.666667\n");
}
