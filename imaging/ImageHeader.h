// Image type and pixel size read from a file's first bytes, without decoding the picture.
// Pure byte parsing: every read is bounds-checked against what the source really holds.
#pragma once

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

// Random-access bytes of one file.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to size bytes from offset; returns how many there were.
    virtual size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t size) = 0;
};

class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override;

private:
    const uint8_t* m_data;
    size_t m_size;
};

struct ImageDimensions {
    int width = 0;
    int height = 0;
};

// The size the header of an image of that type claims. False, with 0 x 0, when the header is
// cut off or fails its own checks (a PNG's IHDR with its CRC, a BMP's info header, a JPEG's
// SOF, a GIF's logical screen descriptor); the picture data after it is never looked at.
bool ReadImageDimensions(const std::string& type, ByteSource& source, ImageDimensions& size);

// The CRC-32 of PNG chunks and zlib.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
