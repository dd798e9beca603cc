// Which photos become frames and how long they play, free of any platform call.
#pragma once

#include "filelist/ImageFileList.h"

#include <vector>

// Rows 1, 1+N, 1+2N, ... of the order the video uses; N is held in 1..100.
std::vector<ImageFileInfo> TakeEveryNth(const std::vector<ImageFileInfo>& rows, int everyNth);
int EveryNthCount(int rows, int everyNth);

// How long so many frames play, as people say it: seconds, to a hundredth under ten seconds;
// minutes and seconds; hours and minutes.
struct VideoLength {
    enum Unit { Seconds, MinutesAndSeconds, HoursAndMinutes } unit;
    double first;  // seconds, minutes or hours
    int decimals;  // of the seconds
    int second;    // seconds or minutes after the first
};
VideoLength SayVideoLength(int frames, int frameRate);
