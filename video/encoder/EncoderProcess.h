// Runs the external encoder with no window, watching its progress report while it runs.
#pragma once

#include "framework/Handles.h"

#include <functional>
#include <string>

enum class EncoderEnd { NotStarted, Exited, Stopped };

struct EncoderRun {
    EncoderEnd end = EncoderEnd::NotStarted;
    unsigned long exitCode = 1;
    unsigned long startError = 0;  // why the process could not be created (GetLastError), if so
    bool unfinished = false;  // the encoder said it could not finish the video
    std::string lastError;    // the encoder's own last word on what went wrong, if any

    // Its status and its own words both count: an encoder that could not finish the video
    // may still exit with 0.
    bool Succeeded() const { return end == EncoderEnd::Exited && exitCode == 0 && !unfinished; }
};

// How often a running encoder's progress report is read.
constexpr DWORD ENCODER_WATCH_MS = 200;

// Called a few times a second with the frames the encoder has done so far (-1: none told
// yet); answering false ends the encoder at once.
using EncoderWatch = std::function<bool(int encodedFrames)>;

// One encoder process. It reports its progress to workFiles + "_progress.txt" and its errors
// to workFiles + "_errors.txt"; both are deleted when it is done with. It runs in the work
// files' folder. One that reads its input ("-i pipe:0") waits for Give. An encoder still
// running when its owner goes is ended, and so is every encoder when the program ends,
// however it ends.
class CEncoderProcess {
public:
    CEncoderProcess(const std::string& encoderPath, const std::string& commandLine, const std::string& workFiles,
                    bool readsInput = false);
    ~CEncoderProcess();
    CEncoderProcess(const CEncoderProcess&) = delete;
    CEncoderProcess& operator=(const CEncoderProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    HANDLE Process() const { return m_process.get(); }
    // The frames it has done so far; -1: none told yet.
    int EncodedFrames() const;
    // Hands it the whole of its input; false when it would not take it.
    bool Give(const std::string& input);
    // Waits until it exits, calling watch; ends it when watch answers false.
    EncoderRun Watch(const EncoderWatch& watch);
    // Ends it at once and waits until it has gone.
    EncoderRun Stop();
    // How it ended, once its process has exited.
    EncoderRun Finish();

private:
    EncoderRun Collect(EncoderEnd end);

    std::string m_progressFile;
    std::string m_errorFile;
    fw::unique_handle m_job;
    fw::unique_handle m_process;
    fw::unique_handle m_input;
    unsigned long m_startError = 0;
    bool m_collected = false;
};

// How encoders are created: CreateProcess's flags.
DWORD EncoderCreationFlags();

// One encoder run from start to end.
EncoderRun RunEncoder(const std::string& encoderPath, const std::string& commandLine, const std::string& workFiles,
                      const EncoderWatch& watch);
