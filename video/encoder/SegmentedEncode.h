// Several encoders at once, each making one segment of the video in the temporary folder,
// then one more run that joins the segments into the destination without re-encoding.
#pragma once

#include "video/encoder/EncoderCommandLine.h"
#include "video/encoder/EncoderProcess.h"
#include "video/encoder/Segments.h"

#include <functional>
#include <string>

// The command line of one encoder: its share of the frames, into that file.
using SegmentCommandLine = std::function<std::string(const EncoderShare& share, const std::string& file)>;

// The command line of the encoder of the plan's segment index: its share of the frames.
using ShareCommandLine = std::function<std::string(size_t index, const EncoderShare& share)>;

// The plan's encoders at once, each reporting to workFiles + "_seg<n>": how the first to fail
// ended, or Stopped when the watch (given the frames done by all of them together) answered
// false. Every encoder has ended when it returns.
EncoderRun RunEncodersAtOnce(const std::string& encoderPath, const SegmentPlan& plan, const ShareCommandLine& line,
                             const std::string& workFiles, const EncoderWatch& watch);

// How the first segment to fail ended, how the join ended, or Stopped when the watch (given
// the frames done by all the segments together) answered false. Every encoder has ended and
// every segment file is gone when it returns.
// The segments lie in the folder of workFiles, a path that ends in a file name's start.
EncoderRun EncodeInSegments(const std::string& encoderPath, const SegmentPlan& plan, const SegmentCommandLine& line,
                            int frameRate, const std::string& workFiles, const std::string& destinationFile,
                            const EncoderWatch& watch);
