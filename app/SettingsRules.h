// Value rules of the settings file, free of any platform call.
#pragma once

#include <string>

namespace settings_rules {

// The video-size choices: 1 keeps the images' own size, the last is 4K.
constexpr int VIDEO_SIZE_COUNT = 8;

// How a picture of another shape than the video's fills it: whole with black bars, cropped
// to fill, or stretched.
constexpr int FRAMING_FIT = 1;
constexpr int FRAMING_FILL = 2;
constexpr int FRAMING_STRETCH = 3;

// Every N-th photo makes a frame; 1 takes them all.
constexpr int EVERY_NTH_MAX = 100;

// The encoder's settings: a smaller file, the encoder's own defaults, or a better picture.
constexpr int QUALITY_SMALLER = 1;
constexpr int QUALITY_STANDARD = 2;
constexpr int QUALITY_BEST = 3;

// What is drawn in the corner of every frame: nothing, the day the photo was taken, or the day
// and the time.
constexpr int STAMP_NONE = 0;
constexpr int STAMP_DATE = 1;
constexpr int STAMP_DATE_TIME = 2;

int ClampInt(int value, int min, int max);

// A stored integer: an empty text gives the default, anything else its leading number
// (atoi), so "12abc" is 12 and "abc" is 0.
int ParseStoredInt(const std::string& text, int defaultValue);

// The folder with exactly one trailing backslash added when it has none.
std::string WithTrailingBackslash(std::string folder);

// Drive and directory of an executable's full path, ending in one backslash.
std::string DirectoryOfPath(const std::string& fullPath);

} // namespace settings_rules
