#include "video/encoder/Segments.h"

#include <gtest/gtest.h>

// Consecutive segments cover every frame once, one per core at most, none shorter than the
// deflicker's window nor with less picture than pays; a container that cannot be joined
// exactly, or too little work: one run.
TEST(Segments, CutEveryFrameOnceWhereItPays)
{
    const int64_t camera = 4000 * 3000;
    struct Case {
        unsigned cores;
        int frames;
        int64_t pixels, minimum;
        const char* destination;
        const char* cuts;
    } cases[] = {
        {4, 201, camera, MIN_SEGMENT_PIXELS, "a.AVI", "1+50 51+50 101+50 151+51 threads 1"},
        {16, 35, 1, 0, "a.mp4", "1+11 12+12 24+12 threads 5"},
        {8, 40, camera, MIN_SEGMENT_PIXELS, "a.mp4", "1+20 21+20 threads 4"},
        {2, 200, camera, MIN_SEGMENT_PIXELS, "a.flv", "threads 0"},
        {2, 19, camera, 0, "a.mp4", "threads 0"},
    };
    for (const Case& c : cases) {
        SegmentPlan plan = PlanSegments(c.cores, c.minimum, c.frames, c.pixels, c.destination);
        std::string cuts;
        for (const Segment& segment : plan.segments)
            cuts += std::to_string(segment.firstFrame) + "+" + std::to_string(segment.frameCount) + " ";
        EXPECT_EQ(cuts + "threads " + std::to_string(plan.threadsEach), c.cuts) << c.cores << " cores, " << c.frames;
    }
}
