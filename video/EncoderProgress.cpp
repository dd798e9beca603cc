#include "video/EncoderProgress.h"

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
