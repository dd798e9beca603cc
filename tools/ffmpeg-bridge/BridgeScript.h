// The host-side half of the encoder bridge, free of any platform call: which arguments are
// Windows paths, and the shell script that runs the host encoder and records its status.
#pragma once

#include <string>
#include <vector>

namespace bridge {

// "C:\x", "c:/x" or "\\server\share": an argument the host encoder cannot open as given.
bool IsWindowsPath(const std::string& argument);

// One shell word that the shell reads back as exactly these bytes.
std::string ShellQuote(const std::string& text);

// A POSIX sh script that records its process id, runs the encoder with the arguments (stdin
// from /dev/null, output to the log), and then writes the exit status. When the script's own
// standard input is a socket, the closing of its other end ends the encoder at once. Each
// record appears at once under its final name (written aside, then renamed), so a reader
// never sees half.
// The encoder command is shell words taken as they are ("ffmpeg", "ffprobe", "sh -c ...");
// the arguments are quoted.
std::string BuildWrapperScript(const std::string& encoderCommand, const std::vector<std::string>& arguments,
                               const std::string& workFolder);

// The status the script wrote: its number, or -1 when the text is not one.
int ParseStatus(const std::string& text);

} // namespace bridge
