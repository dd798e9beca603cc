#include "imaging/ImageHeader.h"

#include <cstring>
#include <limits>

namespace {

constexpr int32_t MAX_DIMENSION = std::numeric_limits<int32_t>::max();

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

bool ReadExactly(ByteSource& source, uint64_t offset, uint8_t* buffer, size_t size)
{
    return source.ReadAt(offset, buffer, size) == size;
}

bool Accept(int64_t width, int64_t height, ImageDimensions& size)
{
    if (width <= 0 || height <= 0 || width > MAX_DIMENSION || height > MAX_DIMENSION)
        return false;
    size.width = static_cast<int>(width);
    size.height = static_cast<int>(height);
    return true;
}

bool ReadBmp(ByteSource& source, ImageDimensions& size)
{
    // File header (14 bytes), then the info header up to its compression field.
    uint8_t h[14 + 20];
    if (!ReadExactly(source, 0, h, 14 + 4) || h[0] != 'B' || h[1] != 'M')
        return false;
    uint32_t headerSize = Le32(h + 14);
    if (headerSize == 12) {
        if (!ReadExactly(source, 0, h, 14 + 12))
            return false;
        uint16_t bits = Le16(h + 24);
        if (Le16(h + 22) != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 24))
            return false;
        return Accept(Le16(h + 18), Le16(h + 20), size);
    }
    if (headerSize < 40 || !ReadExactly(source, 0, h, sizeof(h)))
        return false;
    int32_t width = static_cast<int32_t>(Le32(h + 18));
    int32_t height = static_cast<int32_t>(Le32(h + 22));
    uint16_t planes = Le16(h + 26);
    uint16_t bits = Le16(h + 28);
    uint32_t compression = Le32(h + 30);
    if (planes != 1)
        return false;
    bool known;
    switch (compression) {
    case 0: known = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; break;
    case 1: known = bits == 8; break;                 // RLE8
    case 2: known = bits == 4; break;                 // RLE4
    case 3: known = bits == 16 || bits == 32; break;  // bit fields
    default: known = false; break;
    }
    // Run-length bitmaps are bottom-up only.
    bool topDown = height < 0;
    if (!known || height == std::numeric_limits<int32_t>::min() || (topDown && (compression == 1 || compression == 2)))
        return false;
    return Accept(width, topDown ? -static_cast<int64_t>(height) : height, size);
}

bool ReadGif(ByteSource& source, ImageDimensions& size)
{
    uint8_t h[10];
    if (!ReadExactly(source, 0, h, sizeof(h)))
        return false;
    if (std::memcmp(h, "GIF87a", 6) != 0 && std::memcmp(h, "GIF89a", 6) != 0)
        return false;
    return Accept(Le16(h + 6), Le16(h + 8), size);
}

bool ValidPngDepth(uint8_t colorType, uint8_t depth)
{
    switch (colorType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

bool ReadPng(ByteSource& source, ImageDimensions& size)
{
    static const uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Signature, IHDR length and type, its 13 data bytes and its CRC.
    uint8_t h[8 + 8 + 13 + 4];
    if (!ReadExactly(source, 0, h, sizeof(h)) || std::memcmp(h, SIGNATURE, 8) != 0)
        return false;
    if (Be32(h + 8) != 13 || std::memcmp(h + 12, "IHDR", 4) != 0)
        return false;
    if (Crc32(h + 12, 4 + 13) != Be32(h + 29))
        return false;
    const uint8_t* ihdr = h + 16;
    uint8_t depth = ihdr[8], colorType = ihdr[9];
    if (!ValidPngDepth(colorType, depth) || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] > 1)
        return false;
    return Accept(Be32(ihdr), Be32(ihdr + 4), size);
}

bool IsStartOfFrame(uint8_t marker)
{
    // C4 (DHT), C8 (JPG) and CC (DAC) share the range but carry no frame.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the marker segments by their lengths up to the first frame header, so a thumbnail
// embedded in an APP segment is never mistaken for the picture. The first APP1 segment
// holding EXIF gives the tags.
bool ReadJpeg(ByteSource& source, ImageDimensions& size, ExifTags& tags)
{
    constexpr uint8_t APP1 = 0xE1;
    bool exifRead = false;
    uint8_t h[8];
    if (!ReadExactly(source, 0, h, 2) || h[0] != 0xFF || h[1] != 0xD8)
        return false;
    uint64_t offset = 2;
    for (;;) {
        // Decoders skip stray bytes before a marker and any number of 0xFF fill bytes.
        uint8_t byte = 0;
        do {
            if (!ReadExactly(source, offset++, &byte, 1))
                return false;
        } while (byte != 0xFF);
        do {
            if (!ReadExactly(source, offset++, &byte, 1))
                return false;
        } while (byte == 0xFF);
        uint8_t marker = byte;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // standalone markers
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return false;  // no frame header before the data or the end
        if (!ReadExactly(source, offset, h, 2))
            return false;
        uint16_t length = Be16(h);
        if (length < 2)
            return false;
        if (IsStartOfFrame(marker)) {
            // Precision, height, width, component count, then three bytes per component.
            if (length < 8 || !ReadExactly(source, offset + 2, h, 6))
                return false;
            uint8_t components = h[5];
            if (components == 0 || length != 8 + 3 * components)
                return false;
            uint8_t check;
            if (!ReadExactly(source, offset + length - 1, &check, 1))
                return false;
            return Accept(Be16(h + 3), Be16(h + 1), size);
        }
        if (marker == APP1 && !exifRead)
            exifRead = ReadExifTags(source, offset + 2, length - 2u, tags);
        offset += length;
    }
}

} // namespace

const char* ImageTypeFromSignature(const uint8_t* bytes, size_t count)
{
    if (count < 2)
        return IMAGE_TYPE_OTHERS;
    // The second byte decides the row; the first must then match it.
    switch (bytes[1]) {
    case 0x4D: return bytes[0] == 0x42 ? IMAGE_TYPE_BMP : IMAGE_TYPE_OTHERS;
    case 0xD8: return bytes[0] == 0xFF ? IMAGE_TYPE_JPG : IMAGE_TYPE_OTHERS;
    case 0x49: return bytes[0] == 0x47 ? IMAGE_TYPE_GIF : IMAGE_TYPE_OTHERS;
    case 0x50: return bytes[0] == 0x89 ? IMAGE_TYPE_PNG : IMAGE_TYPE_OTHERS;
    default: return IMAGE_TYPE_OTHERS;
    }
}

bool ReadImageHeader(const std::string& type, ByteSource& source, ImageHeaderInfo& header)
{
    header = ImageHeaderInfo();
    ImageDimensions& size = header.size;
    ExifTags tags;
    bool ok = false;
    if (type == IMAGE_TYPE_BMP)
        ok = ReadBmp(source, size);
    else if (type == IMAGE_TYPE_JPG)
        ok = ReadJpeg(source, size, tags);
    else if (type == IMAGE_TYPE_GIF)
        ok = ReadGif(source, size);
    else if (type == IMAGE_TYPE_PNG)
        ok = ReadPng(source, size);
    if (!ok) {
        header = ImageHeaderInfo();
        return false;
    }
    header.orientation = tags.orientation;
    header.dateTaken = tags.dateTaken;
    return true;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    static const struct Table {
        uint32_t entries[256];
        Table()
        {
            for (uint32_t n = 0; n < 256; ++n) {
                uint32_t c = n;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                entries[n] = c;
            }
        }
    } table;
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table.entries[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
