// What to tell when the encoder could not say why it failed: Windows would not start it, or
// ended it with a status of its own (a DLL missing, the wrong kind of program, a crash).
#pragma once

#include "video/encoder/EncoderProcess.h"

#include <string>

// The reason, as a sentence of the failure message; empty when the encoder itself ran and
// ended, with or without its own words.
std::string EncoderFailureText(const EncoderRun& run);

// Windows' word first, else the encoder's own last one; empty when neither said anything.
std::string EncoderFailureReason(const EncoderRun& run);
