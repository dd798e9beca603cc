#include "video/encoder/EncoderProgress.h"

#include <algorithm>

namespace {

// A count of up to nine digits, blanks around it allowed; -1 otherwise.
int ParseCount(std::string text)
{
    size_t first = text.find_first_not_of(" ");
    size_t last = text.find_last_not_of(" \r");
    if (first == std::string::npos || last - first >= 9)
        return -1;
    text = text.substr(first, last - first + 1);
    return text.find_first_not_of("0123456789") == std::string::npos ? std::stoi(text) : -1;
}

// Lines that only repeat or sum up the fault told above them, in the words of ffmpeg 4.x to 7.x.
bool SaysNothing(const std::string& line)
{
    static const char* const FOLLOW_UPS[] = {"Conversion failed!",         "Error splitting the argument list",
                                             "Last message repeated",      "Error selecting an encoder",
                                             "Error opening output file",  "Error opening input"};
    for (const char* followUp : FOLLOW_UPS)
        if (line.compare(0, std::char_traits<char>::length(followUp), followUp) == 0)
            return true;
    return line.empty();
}

std::string WithoutTag(const std::string& line)
{
    size_t close = line.find("] ");
    if (line.empty() || line[0] != '[' || close == std::string::npos || line.find(" @ ") > close)
        return line;
    return line.substr(close + 2);
}

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

int LastEncodedFrame(const std::string& text)
{
    static const std::string KEY = "frame=";
    size_t at = std::string::npos;
    while ((at = text.rfind(KEY, at)) != std::string::npos) {
        size_t end = text.find('\n', at);
        // The line must be whole: it starts the text or follows a newline, and has ended.
        if ((at == 0 || text[at - 1] == '\n') && end != std::string::npos)
            return ParseCount(text.substr(at + KEY.size(), end - at - KEY.size()));
        if (at == 0)
            break;
        --at;
    }
    return -1;
}

int EncodingPosition(int first, int span, int encodedFrames, int frameCount)
{
    if (frameCount <= 0 || encodedFrames <= 0)
        return first;
    long long done = std::min(encodedFrames, frameCount);
    return first + static_cast<int>(done * span / frameCount);
}

std::string LastEncoderError(const std::string& output)
{
    size_t end = output.size();
    while (end > 0) {
        size_t start = output.rfind('\n', end - 1);
        start = start == std::string::npos ? 0 : start + 1;
        std::string line = WithoutTag(Trimmed(output.substr(start, end - start)));
        if (!SaysNothing(line))
            return line;
        end = start == 0 ? 0 : start - 1;
    }
    return {};
}

bool VideoLeftUnfinished(const std::string& output)
{
    return output.find("Error writing trailer") != std::string::npos || output.find("Error closing file") != std::string::npos;
}
