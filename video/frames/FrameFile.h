// One frame file in the temporary folder, and how writing it went.
#pragma once

#include "imaging/ImageHeader.h"

#include <windows.h>

#include <string>

enum class FrameStatus {
    Written,
    AsShot,       // a JPEG already upright: its own file becomes the frame
    Unreadable,   // the source cannot be read or decoded: skipped without a word
    WriteFailed,  // the temporary folder took no more: the job stops
};

struct FrameOutcome {
    FrameStatus status = FrameStatus::Unreadable;
    DWORD error = ERROR_SUCCESS;  // the system's reason when the write failed
};

bool IsReadable(const std::string& path);

bool IsDiskFull(DWORD error);

// A frame's size as stored; 0 x 0 when it cannot be read.
ImageDimensions FrameSize(const std::string& frame);

// Whether the file can be read, and a hard link to it deleted again: a link shares the file's
// read-only mark, and whoever holds the file open without letting it be deleted.
bool CanBeLinked(const std::string& path);

// The source's own JPEG becomes the frame: a hard link where the volume allows it, else a
// copy. Neither opens the source for writing.
FrameOutcome LinkOrCopyJpeg(const std::string& sourcePath, const std::string& frameFileName);

// A new file holding exactly these bytes; a failed write leaves no file.
FrameOutcome WriteFrameFile(const std::string& frameFileName, const void* bytes, size_t size);
