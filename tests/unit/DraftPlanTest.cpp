#include "video/encoder/EncoderCommandLine.h"

#include <gtest/gtest.h>

#include <tuple>

// The draft keeps the video's shape at most 640 wide with even sides, and the decoder reads
// each frame at the smallest scale that still covers it: never below, so nothing is enlarged.
TEST(DraftPlan, SmallestScaleThatStillCoversTheDraft)
{
    struct Case {
        ImageDimensions video, frame;
        int width, height, lowres;
    } cases[] = {
        {{4000, 3000}, {4000, 3000}, 640, 480, 2},
        {{1920, 1080}, {4000, 3000}, 640, 360, 2},
        {{3000, 4000}, {3000, 4000}, 640, 854, 2},
        {{360, 240}, {4000, 3000}, 360, 240, 3},
        {{1000, 750}, {1001, 751}, 640, 480, 0},
        {{1280, 720}, {2560, 1440}, 640, 360, 2},
        {{0, 0}, {4000, 3000}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EncoderDraft draft = PlanDraft(c.video, c.frame);
        EXPECT_EQ(std::make_tuple(draft.size.width, draft.size.height, draft.lowres), std::make_tuple(c.width, c.height, c.lowres))
            << c.video.width << "x" << c.video.height << " from " << c.frame.width << "x" << c.frame.height;
    }
}
