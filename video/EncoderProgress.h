// The encoder's "-progress" report, read without any platform call.
#pragma once

#include <string>

// The frames done by the last complete "frame=" line of the report's text (its tail may be
// cut anywhere); -1 when there is none yet.
int LastEncodedFrame(const std::string& text);

// Where the bar stands while the encoder runs: after the frame-writing share (first), the
// encoder's share (span) moves with the frames it has done of those it was given.
int EncodingPosition(int first, int span, int encodedFrames, int frameCount);
