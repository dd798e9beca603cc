#include "tools/ffmpeg-bridge/BridgeScript.h"

namespace bridge {

bool IsWindowsPath(const std::string& argument)
{
    if (argument.size() >= 3 && argument[1] == ':' && (argument[2] == '\\' || argument[2] == '/')) {
        char drive = argument[0];
        return (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    }
    return argument.size() >= 3 && argument[0] == '\\' && argument[1] == '\\';
}

std::string ShellQuote(const std::string& text)
{
    // Inside single quotes nothing is special but the quote itself, which is closed,
    // escaped and reopened.
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string BuildWrapperScript(const std::string& encoderCommand, const std::vector<std::string>& arguments,
                               const std::string& workFolder)
{
    std::string dir = ShellQuote(workFolder);
    std::string script = "#!/bin/sh\n";
    // The environment Wine hands over may carry a Windows-style PATH; keep the usual places.
    script += "PATH=\"$PATH:/usr/local/bin:/usr/bin:/bin\"; export PATH\n";
    script += "echo $$ > " + dir + "/pid.part && mv " + dir + "/pid.part " + dir + "/pid\n";
    script += encoderCommand;
    for (const std::string& argument : arguments)
        script += ' ' + ShellQuote(argument);
    script += " < /dev/null > " + dir + "/log 2>&1 &\n";
    script += "encoder=$!\n";
    // Standard input is a socket whose other end only the bridge holds: it reads as ended
    // once the bridge is gone, however it went, and then so goes the encoder. A read that
    // would block fails instead on Wine's non-blocking socket, and counts as alive.
    script += "if [ -S /dev/stdin ]; then\n";
    script += "  exec 3<&0\n";
    script += "  (until dd bs=1 count=1 of=/dev/null 2>/dev/null <&3; do sleep 0.1; done; : > " + dir
              + "/gone; kill -KILL $encoder) &\n";
    script += "  watcher=$!\n";
    script += "fi\n";
    script += "wait $encoder\n";
    script += "status=$?\n";
    script += "[ -n \"$watcher\" ] && kill $watcher 2>/dev/null\n";
    // With the bridge gone, nobody reads the status or removes the folder.
    script += "[ -e " + dir + "/gone ] && exec rm -rf " + dir + "\n";
    script += "echo $status > " + dir + "/status.part && mv " + dir + "/status.part " + dir + "/status\n";
    return script;
}

int ParseStatus(const std::string& text)
{
    int value = 0;
    size_t digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits > 5)
                return -1;
            value = value * 10 + (c - '0');
        } else if (c == '\n' || c == '\r') {
            break;
        } else {
            return -1;
        }
    }
    return digits ? value : -1;
}

} // namespace bridge
