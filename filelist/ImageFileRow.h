// The texts of one row of the image file list, worked out from a path without any window.
#pragma once

#include "filelist/RowOrder.h"

#include <string>

struct ImageFileRow {
    std::string fileName;
    std::string typeText;
    std::string dimensions;
    std::string createdTime;
    std::string dateTaken;
    std::string filePath;
    TakenOrder taken;  // kept beside the row: the cell has no sub-seconds
    uint64_t createdFileTime = 0;  // the whole creation time, FILETIME; 0 when not read
};

// False when no file is found at the path. The size comes from the image's header, so no
// picture is decoded; a file that cannot be opened keeps an empty name, "Others" and 0 X 0.
bool ReadImageFileRow(const std::string& path, ImageFileRow& row);
