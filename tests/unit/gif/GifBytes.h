// Builds GIF byte streams block by block for the tests. Image data is valid LZW that never
// grows its code size (a clear code every few pixels), so real decoders accept it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gif_test {

using Bytes = std::vector<uint8_t>;

inline void PutWord(Bytes& out, unsigned value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// Colour-table size field N for 2^(N+1) entries.
inline uint8_t TableSizeField(unsigned entries)
{
    uint8_t n = 0;
    while ((2u << n) < entries)
        ++n;
    return n;
}

inline void PutTable(Bytes& out, const std::vector<uint32_t>& rgb)
{
    for (uint32_t colour : rgb) {
        out.push_back(static_cast<uint8_t>(colour >> 16));
        out.push_back(static_cast<uint8_t>(colour >> 8));
        out.push_back(static_cast<uint8_t>(colour));
    }
}

// Header and logical screen; the table's length must be a power of two from 2 to 256, or 0.
inline Bytes Header(unsigned width, unsigned height, const std::vector<uint32_t>& globalTable,
                    const char* version = "GIF89a")
{
    Bytes out(version, version + 6);
    PutWord(out, width);
    PutWord(out, height);
    out.push_back(globalTable.empty() ? 0 : static_cast<uint8_t>(0x80 | TableSizeField(static_cast<unsigned>(globalTable.size()))));
    out.push_back(0);
    out.push_back(0);
    PutTable(out, globalTable);
    return out;
}

inline void PutSubBlocks(Bytes& out, const Bytes& data)
{
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t n = data.size() - at < 255 ? data.size() - at : 255;
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
}

inline Bytes LoopExtension()
{
    // Introducer, label, block size, identifier, then one sub-block: loop count 0 (for ever).
    const char block[] = "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00";
    return Bytes(block, block + sizeof(block) - 1);
}

inline Bytes Comment(const std::string& text)
{
    Bytes out{0x21, 0xFE};
    PutSubBlocks(out, Bytes(text.begin(), text.end()));
    return out;
}

// transparentIndex < 0: no transparency.
inline Bytes ControlExtension(unsigned delay, unsigned disposal, int transparentIndex = -1)
{
    Bytes out{0x21, 0xF9, 0x04};
    out.push_back(static_cast<uint8_t>(((disposal & 7) << 2) | (transparentIndex >= 0 ? 1 : 0)));
    PutWord(out, delay);
    out.push_back(static_cast<uint8_t>(transparentIndex >= 0 ? transparentIndex : 0));
    out.push_back(0);
    return out;
}

inline Bytes PlainText(const std::string& text)
{
    Bytes out{0x21, 0x01, 0x0C};
    out.insert(out.end(), 12, 0);
    PutSubBlocks(out, Bytes(text.begin(), text.end()));
    return out;
}

// LZW codes for the pixel indices, packed least significant bit first.
inline Bytes EncodeIndices(const Bytes& indices, unsigned minCodeSize)
{
    const unsigned clear = 1u << minCodeSize;
    const unsigned codeSize = minCodeSize + 1;
    // Codes the decoder takes before its table would reach 2^codeSize entries.
    const unsigned perClear = clear - 2;
    Bytes out;
    uint32_t bits = 0;
    unsigned bitCount = 0;
    auto emit = [&](unsigned code) {
        bits |= code << bitCount;
        bitCount += codeSize;
        while (bitCount >= 8) {
            out.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    unsigned run = perClear;
    for (uint8_t index : indices) {
        if (run == perClear) {
            emit(clear);
            run = 0;
        }
        emit(index);
        ++run;
    }
    emit(clear + 1);
    if (bitCount > 0)
        out.push_back(static_cast<uint8_t>(bits));
    return out;
}

// An image descriptor with its data; pixels holds width x height colour indices.
inline Bytes Image(unsigned left, unsigned top, unsigned width, unsigned height, const Bytes& pixels,
                   const std::vector<uint32_t>& localTable = {}, unsigned minCodeSize = 2)
{
    Bytes out{0x2C};
    PutWord(out, left);
    PutWord(out, top);
    PutWord(out, width);
    PutWord(out, height);
    out.push_back(localTable.empty() ? 0 : static_cast<uint8_t>(0x80 | TableSizeField(static_cast<unsigned>(localTable.size()))));
    PutTable(out, localTable);
    out.push_back(static_cast<uint8_t>(minCodeSize));
    PutSubBlocks(out, EncodeIndices(pixels, minCodeSize));
    return out;
}

// A width x height image of one colour index.
inline Bytes FilledImage(unsigned left, unsigned top, unsigned width, unsigned height, uint8_t index)
{
    return Image(left, top, width, height, Bytes(static_cast<size_t>(width) * height, index));
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline const Bytes TRAILER{0x3B};

} // namespace gif_test
