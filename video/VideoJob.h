// The video build job: writes the rows as a numbered JPEG sequence in the temporary folder,
// runs the encoder once over it, and deletes the sequence. Runs without a window.
#pragma once

#include "app/IniSettings.h"
#include "filelist/ImageFileList.h"
#include "video/JobReport.h"

#include <string>

struct VideoJobInput {
    ImageFileList images;  // the list's rows, in row order
    CIniSettings settings;  // a copy taken when the job is set up
    std::string encoderPath;
};

JobResult RunVideoJob(VideoJobInput input, CJobReport& report);
