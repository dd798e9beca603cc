// The video build job: writes the rows as a numbered JPEG sequence in the temporary folder,
// encodes it (in segments on every core where that pays), and deletes the sequence. Runs
// without a window.
#pragma once

#include "app/IniSettings.h"
#include "filelist/ImageFileList.h"
#include "framework/Thread.h"
#include "video/jobs/JobReport.h"
#include "video/encoder/Segments.h"

#include <string>

struct VideoJobInput {
    ImageFileList images;  // the list's rows, in row order
    CIniSettings settings;  // a copy taken when the job is set up
    std::string encoderPath;
    unsigned cores = fw::ProcessorCount();  // encoders run at once at most, each on its share
    int64_t minSegmentPixels = MIN_SEGMENT_PIXELS;  // less picture per encoder: fewer encoders
    bool draft = false;  // a quick MP4 of the video's shape, small, for a look before the video
};

JobResult RunVideoJob(VideoJobInput input, CJobReport& report);
