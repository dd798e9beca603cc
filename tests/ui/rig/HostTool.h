// Host programs the tests measure with (ffprobe, ffmpeg's SSIM, ImageMagick, mount), started
// from a Windows test process under Wine. Never an encoder under test.
#pragma once

#include <windows.h>

#include <string>

namespace rig {

// Runs the host command (shell words, e.g. "ffprobe") with the arguments, which are split by
// the Windows rules, each "C:\..." one turned into its host path; returns its exit status, or
// -1 when it could not be started or outlived the time-out. Its output goes to the test's
// error output when it fails.
int RunHostTool(const std::string& command, const std::string& arguments, DWORD timeoutMs = 120000);

} // namespace rig
