// Image type and pixel size read from a file's first bytes, without decoding the picture.
// Pure byte parsing: every read is bounds-checked against what the source really holds.
#pragma once

#include "imaging/ByteSource.h"
#include "imaging/ExifReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr const char IMAGE_TYPE_BMP[] = "BMP";
constexpr const char IMAGE_TYPE_JPG[] = "JPG";
constexpr const char IMAGE_TYPE_GIF[] = "GIF";
constexpr const char IMAGE_TYPE_PNG[] = "PNG";
constexpr const char IMAGE_TYPE_OTHERS[] = "Others";

// "BMP", "JPG", "GIF", "PNG" or "Others" from the first two bytes; fewer than two: "Others".
const char* ImageTypeFromSignature(const uint8_t* bytes, size_t count);

struct ImageDimensions {
    int width = 0;
    int height = 0;
};

// What a header says without the picture being decoded: the size, and for a JPEG the
// orientation and capture time its EXIF segment gives.
struct ImageHeaderInfo {
    ImageDimensions size;
    int orientation = 1;  // 1..8 as EXIF numbers them; 1 is upright
    DateTaken dateTaken;
};

// False, with 0 x 0, when the header is cut off or fails its own checks (a PNG's IHDR with
// its CRC, a BMP's info header, a JPEG's SOF, a GIF's logical screen descriptor); the picture
// data after it is never looked at.
bool ReadImageHeader(const std::string& type, ByteSource& source, ImageHeaderInfo& header);

// The CRC-32 of PNG chunks and zlib.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
