// What a frame's stamp says: when its photo was taken, in the user's own short formats.
#pragma once

#include <string>

// The photo's date taken (EXIF), else its file's last-write time in local time, as the user's
// short date, followed for STAMP_DATE_TIME by the short time; empty for STAMP_NONE or when the
// system cannot format the time.
std::wstring StampText(const std::string& sourcePath, int stamp);

// Whether the user's locale reads right to left, so the stamp is laid out that way.
bool UserReadsRightToLeft();
