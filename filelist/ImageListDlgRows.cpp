#include "filelist/ImageFileRow.h"
#include "filelist/ImageListDlg.h"

#include "app/FileSystem.h"
#include "filelist/ImageFileList.h"
#include "filelist/RowText.h"
#include "imaging/ImageFile.h"

namespace {

// FILETIME counts 100 ns from 1601.
int64_t FileTimeSince1970(const FILETIME& time, int64_t unit)
{
    constexpr int64_t EPOCH_DIFFERENCE = 116444736000000000LL;
    int64_t ticks = static_cast<int64_t>(static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
    int64_t since1970 = ticks - EPOCH_DIFFERENCE;
    int64_t units = since1970 / unit;
    return since1970 % unit < 0 ? units - 1 : units;
}

// The creation time (the last-write time where the file system keeps none) as the "Created
// Time" cell and whole beside it, and the last-write time for a photo without a capture time.
// A file whose times cannot be read keeps an empty cell and an unknown time.
void ReadFileTimes(const std::string& path, ImageFileRow& row)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return;
    const FILETIME& created = data.ftCreationTime;
    bool none = created.dwLowDateTime == 0 && created.dwHighDateTime == 0;
    const FILETIME& kept = none ? data.ftLastWriteTime : created;
    row.createdTime = FormatCreatedTime(FileTimeSince1970(kept, 10000000));
    row.createdFileTime = static_cast<uint64_t>(kept.dwHighDateTime) << 32 | kept.dwLowDateTime;
    row.taken.milliseconds = FileTimeSince1970(data.ftLastWriteTime, 10000);
}

} // namespace

bool ReadImageFileRow(const std::string& path, ImageFileRow& row)
{
    if (!FileExists(path))
        return false;
    CImageFile image;
    image.LoadHeader(path);
    SIZE size = image.GetSize();
    row.typeText = image.GetType();
    row.fileName = image.GetFileName();
    DateTaken date = image.GetDateTaken();
    image.FreeImage();
    row.dimensions = FormatDimensions(size.cx, size.cy);
    ReadFileTimes(path, row);
    row.dateTaken = FormatDateTaken(date);
    if (date.known)
        row.taken = {true, DateTakenMilliseconds(date)};
    row.filePath = path;
    return true;
}

void CImageListDlg::AddImageFile(const std::string& path)
{
    std::vector<ImageFileRow> rows(1);
    if (ReadImageFileRow(path, rows[0]))
        AddImageFileRows(rows);
}

int CImageListDlg::AddImageFileRows(const std::vector<ImageFileRow>& rows, const std::function<void()>& after)
{
    // Sent, not posted: the arguments stay the caller's and the rows are in when this returns.
    ImageRowsMessage arguments{rows, after};
    return static_cast<int>(::SendMessageA(m_hWnd, WM_ADD_IMAGE_ROWS, 0, reinterpret_cast<LPARAM>(&arguments)));
}

int CImageListDlg::OnAddImageFileRows(const std::vector<ImageFileRow>& rows, const std::function<void()>& after)
{
    int count = m_fileList.GetItemCount();
    for (const ImageFileRow& row : rows) {
        int item = m_fileList.InsertItem(count, LPSTR_TEXTCALLBACKA, static_cast<LPARAM>(m_rowsAdded));
        if (item < 0)
            continue;
        m_rowKeys[m_rowsAdded++] = {row.taken, row.createdFileTime};
        m_fileList.SetItemText(item, COLUMN_FILE_NAME, row.fileName);
        m_fileList.SetItemText(item, COLUMN_TYPE, row.typeText);
        m_fileList.SetItemText(item, COLUMN_DIMENSIONS, row.dimensions);
        m_fileList.SetItemText(item, COLUMN_CREATED_TIME, row.createdTime);
        m_fileList.SetItemText(item, COLUMN_DATE_TAKEN, row.dateTaken);
        m_fileList.SetItemText(item, COLUMN_FILE_PATH, row.filePath);
        ++count;
    }
    // Appended rows break the order the heading shows.
    if (!rows.empty())
        ShowSortArrow(-1, true);
    if (after)
        after();
    return count;
}

void CImageListDlg::CollectImageFiles(ImageFileList& list) const
{
    int count = m_fileList.GetItemCount();
    list.RemoveAll();
    for (int row = 0; row < count; ++row) {
        ImageFileInfo record;
        record.createdTime = ParseCreatedTime(m_fileList.GetItemText(row, COLUMN_CREATED_TIME));
        // A row without keys (the program adds none) has an unknown time.
        auto keys = m_rowKeys.find(static_cast<uint64_t>(m_fileList.GetItemData(row)));
        record.createdFileTime = keys == m_rowKeys.end() ? 0 : keys->second.created;
        record.typeText = m_fileList.GetItemText(row, COLUMN_TYPE);
        record.fileName = m_fileList.GetItemText(row, COLUMN_FILE_NAME);
        record.filePath = m_fileList.GetItemText(row, COLUMN_FILE_PATH);
        list.Add(record);
    }
}
