#include "filelist/ImageFileList.h"

#include <algorithm>

int ImageFileList::Add(const ImageFileInfo& record)
{
    m_records.push_back(record);
    return GetCount() - 1;
}

void ImageFileList::InsertAt(int index, const ImageFileInfo& record)
{
    m_records.insert(m_records.begin() + index, record);
}

void ImageFileList::RemoveAt(int index)
{
    m_records.erase(m_records.begin() + index);
}

void SortImageFilesByTime(ImageFileList& list)
{
    std::vector<ImageFileInfo> records;
    records.reserve(list.GetCount());
    for (int index = 0; index < list.GetCount(); ++index)
        records.push_back(list.GetAt(index));
    std::stable_sort(records.begin(), records.end(), [](const ImageFileInfo& a, const ImageFileInfo& b) {
        return CreatedBefore(a.createdFileTime, b.createdFileTime);
    });
    list.RemoveAll();
    for (const ImageFileInfo& record : records)
        list.Add(record);
}
