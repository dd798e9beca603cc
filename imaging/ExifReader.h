// The two EXIF tags the program uses, read from a JPEG's APP1 segment without trusting any
// of its offsets or counts: every read is checked against the segment and the file.
#pragma once

#include "imaging/ByteSource.h"

#include <cstdint>

// A capture time as the camera's clock showed it; no time zone is recorded.
struct DateTaken {
    bool known = false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int millisecond = 0;
};

struct ExifTags {
    int orientation = 1;  // 1..8
    DateTaken dateTaken;
};

// The tags of an APP1 payload of size bytes at offset; false when it is no EXIF segment (no
// "Exif\0\0" and TIFF header). A tag that is missing, out of range or unreadable is left at
// its default.
bool ReadExifTags(ByteSource& source, uint64_t offset, uint32_t size, ExifTags& tags);

// Milliseconds from 0001-01-01 00:00:00 on the camera's clock, for ordering.
int64_t DateTakenMilliseconds(const DateTaken& date);
