#include "video/encoder/EncoderFailure.h"

#include "framework/Text.h"
#include "resource.h"

namespace {

// The loader's statuses: the program never ran a line of its own.
unsigned LoaderReason(unsigned long status)
{
    switch (status) {
    case 0xC0000135:  // STATUS_DLL_NOT_FOUND
        return IDS_DLL_MISSING;
    case 0xC000007B:  // STATUS_INVALID_IMAGE_FORMAT: another architecture
        return IDS_NOT_FOR_THIS_WINDOWS;
    case 0xC0000138:  // STATUS_ORDINAL_NOT_FOUND
    case 0xC0000139:  // STATUS_ENTRYPOINT_NOT_FOUND
        return IDS_DLL_MISMATCH;
    case 0xC0000142:  // STATUS_DLL_INIT_FAILED
        return IDS_DLL_INIT_FAILED;
    default:
        return 0;
    }
}

} // namespace

std::string EncoderFailureText(const EncoderRun& run)
{
    auto text = [](unsigned id, const std::string& argument) {
        return fw::FormatText(fw::LoadStringText(id).c_str(), argument.c_str());
    };
    if (run.end == EncoderEnd::NotStarted && run.startError != 0)
        return text(IDS_ENCODER_NOT_STARTED, fw::SystemMessage(run.startError, "ffmpeg.exe"));
    // An error status of Windows' own: severity 11, not a customer's code. ffmpeg's own codes
    // are small, or negative like -22 (0xFFFFFFEA).
    if (run.end != EncoderEnd::Exited || (run.exitCode & 0xF0000000) != 0xC0000000)
        return {};
    if (unsigned reason = LoaderReason(run.exitCode))
        return text(IDS_ENCODER_NOT_STARTED, fw::LoadStringText(reason));
    return text(IDS_ENCODER_ENDED, fw::FormatText("0x%08lX", run.exitCode));
}

std::string EncoderFailureReason(const EncoderRun& run)
{
    // What a dying process wrote may be a debugger's, not the encoder's.
    std::string reason = EncoderFailureText(run);
    return reason.empty() ? run.lastError : reason;
}
