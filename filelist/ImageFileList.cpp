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
    // Placing records from the last one up, each after the equal ones already placed, is a
    // stable sort of the reversed list.
    std::vector<ImageFileInfo> records;
    records.reserve(list.GetCount());
    for (int index = list.GetCount() - 1; index >= 0; --index)
        records.push_back(list.GetAt(index));
    std::stable_sort(records.begin(), records.end(),
                     [](const ImageFileInfo& a, const ImageFileInfo& b) { return a.createdTime < b.createdTime; });
    list.RemoveAll();
    for (const ImageFileInfo& record : records)
        list.Add(record);
}
