// What the encoder writes: its "-progress" report and its error output, read without any
// platform call.
#pragma once

#include <string>

// The frames done by the last complete "frame=" line of the report's text (its tail may be
// cut anywhere); -1 when there is none yet.
int LastEncodedFrame(const std::string& text);

// Where the bar stands while the encoder runs: after the frame-writing share (first), the
// encoder's share (span) moves with the frames it has done of those it was given.
int EncodingPosition(int first, int span, int encodedFrames, int frameCount);

// The last line of the encoder's error output that says what went wrong, without the tag of
// the part that said it ("[mp4 @ 0x55d0c8e0] "); the lines it adds after every failure of a
// kind ("Conversion failed!") say nothing and are passed over. Empty when there is none.
std::string LastEncoderError(const std::string& output);

// Whether the error output says the video could not be finished: an encoder that cannot write
// the end of its file (a full disk) says so and still exits with 0.
bool VideoLeftUnfinished(const std::string& output);
