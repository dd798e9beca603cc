// Random-access bytes of one file, so header parsers read only what they need.
#pragma once

#include <cstddef>
#include <cstdint>

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
