// The six text cells of a row of the image file list.
#pragma once

#include <string>

enum RowColumn {
    COLUMN_NUMBER = 0,
    COLUMN_FILE_NAME = 1,
    COLUMN_TYPE = 2,
    COLUMN_DIMENSIONS = 3,
    COLUMN_CREATED_TIME = 4,
    COLUMN_FILE_PATH = 5,
};

constexpr int MAX_IMAGE_FILES = 9999;
constexpr const char TYPE_OTHERS[] = "Others";

// "0001" .. "9999".
std::string FormatRowNumber(int number);
