// The seven text cells of a row of the image file list.
#pragma once

#include "imaging/ExifReader.h"

#include <cstdint>
#include <string>

// In the list's order, from 0.
enum RowColumn {
    COLUMN_NUMBER,
    COLUMN_FILE_NAME,
    COLUMN_TYPE,
    COLUMN_DIMENSIONS,
    COLUMN_CREATED_TIME,
    COLUMN_DATE_TAKEN,
    COLUMN_FILE_PATH
};

constexpr int MAX_IMAGE_FILES = 9999;

// "0001" .. "9999".
std::string FormatRowNumber(int number);

// "640 X 480".
std::string FormatDimensions(int width, int height);

// Seconds since 1970-01-01 UTC as local time, "%m/%d/%Y %H:%M:%S"; empty when the C library
// cannot express the time locally.
std::string FormatCreatedTime(int64_t seconds);

// A capture time as the "Date Taken" cell, in the created time's layout; empty when unknown.
std::string FormatDateTaken(const DateTaken& date);

// The "Created Time" cell read back as local time, daylight saving decided for that date.
// A cell that is empty or not six integers in that pattern gives 0, so it sorts first.
int64_t ParseCreatedTime(const std::string& text);
