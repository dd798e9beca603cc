// Runs the external encoder hidden, watching its progress report while it runs.
#pragma once

#include <functional>
#include <string>

enum class EncoderEnd { NotStarted, Exited, Stopped };

struct EncoderRun {
    EncoderEnd end = EncoderEnd::NotStarted;
    unsigned long exitCode = 1;
    bool unfinished = false;  // the encoder said it could not finish the video
    std::string lastError;    // the encoder's own last word on what went wrong, if any
};

// Called a few times a second with the frames the encoder has done so far (-1: none told
// yet); answering false ends the encoder at once.
using EncoderWatch = std::function<bool(int encodedFrames)>;

// The encoder reports its progress to workFiles + "_progress.txt" and its errors to
// workFiles + "_errors.txt"; both are deleted afterwards.
EncoderRun RunEncoder(const std::string& encoderPath, const std::string& commandLine, const std::string& workFiles,
                      const EncoderWatch& watch);
