// A stamp drawn into frames of the video's size. Decoding a camera photo is many times faster
// in the encoder than in Windows' codecs under Wine, so the encoder frames the sequence into
// BMPs of that size (on every core where that pays), and the program reads each one back,
// draws its photo's stamp and writes it anew as its frame, on every core.
#pragma once

#include "imaging/ImageHeader.h"
#include "video/frames/FrameWriter.h"
#include "video/jobs/JobReport.h"

#include <cstdint>
#include <string>

struct StampedFramesInput {
    std::string encoderPath;
    std::string tempFolder;
    std::string timePrefix;
    ImageDimensions size;  // the video's, or the draft's
    int framing = settings_rules::FRAMING_FIT;
    int lowres = 0;  // the encoder reads the frames at 1/2^lowres of their size
    int stamp = settings_rules::STAMP_NONE;
    unsigned cores = 1;
    int64_t minSegmentPixels = 0;
};

// Stamps every frame of the sequence, moving the bar a unit for each frame framed and each
// stamped from barStart on. Ends ok with no text when done, with no text when stopped, else
// with the failure and its reason; no BMP is left either way.
JobResult StampFrames(const StampedFramesInput& input, CFrameSequence& frames, CJobReport& report, int barStart);
