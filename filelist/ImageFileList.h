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

// Ascending createdTime; records with equal times come out in reverse of their order.
void SortImageFilesByTime(ImageFileList& list);
