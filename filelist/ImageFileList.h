// One listed image file as a record, and the ordered snapshot of the rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ImageFileInfo {
    // Seconds since 1970-01-01 UTC, read back from the row's local-time text. 64 bits, so
    // files dated after January 2038 keep their order.
    int64_t createdTime = 0;
    std::string typeText;
    std::string fileName;
    std::string filePath;
    // The file's whole creation time as FILETIME counts it: 100 ns since 1601-01-01 UTC, so
    // photos copied dozens a second, and the autumn hour that repeats, keep their order.
    // 0 when it could not be read. What the time sort orders by.
    uint64_t createdFileTime = 0;
};

class ImageFileList {
public:
    int GetCount() const { return static_cast<int>(m_records.size()); }
    ImageFileInfo GetAt(int index) const { return m_records[index]; }
    int Add(const ImageFileInfo& record);
    void InsertAt(int index, const ImageFileInfo& record);
    void RemoveAt(int index);
    void RemoveAll() { m_records.clear(); }

private:
    std::vector<ImageFileInfo> m_records;
};

// The order of creation times (FILETIME, 0: unknown): earlier first; an unknown time after
// every known one.
inline bool CreatedBefore(uint64_t a, uint64_t b)
{
    return a != 0 && (b == 0 || a < b);
}

// Ascending whole creation time; records with equal times keep their order, and those whose
// time could not be read come last, in their order.
void SortImageFilesByTime(ImageFileList& list);
