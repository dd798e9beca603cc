#include "imaging/ByteSource.h"

#include <cstring>

size_t MemoryByteSource::ReadAt(uint64_t offset, uint8_t* buffer, size_t size)
{
    if (offset >= m_size)
        return 0;
    size_t available = m_size - static_cast<size_t>(offset);
    size_t count = size < available ? size : available;
    std::memcpy(buffer, m_data + offset, count);
    return count;
}
