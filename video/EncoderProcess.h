// Runs the external encoder hidden, watching its progress report while it runs.
#pragma once

#include <functional>
#include <string>

enum class EncoderEnd { NotStarted, Exited, Stopped };

struct EncoderRun {
    EncoderEnd end = EncoderEnd::NotStarted;
    unsigned long exitCode = 1;
};

// Called a few times a second with the frames the encoder has done so far (-1: none told
// yet); answering false ends the encoder at once.
using EncoderWatch = std::function<bool(int encodedFrames)>;

// The command line gets "-progress" with the report file, which is deleted afterwards.
EncoderRun RunEncoder(const std::string& encoderPath, const std::string& commandLine, const std::string& progressFile,
                      const EncoderWatch& watch);
