// The main window: the list of image files and the commands on it.
#pragma once

#include "filelist/RowOrder.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class ImageFileList;
struct ImageFileRow;

// Sent by AddImageFileRows to the main window; wParam 0, lParam its arguments
// (const ImageRowsMessage*). The result is the row count afterwards.
constexpr UINT WM_ADD_IMAGE_ROWS = WM_APP + 1;
struct ImageRowsMessage {
    const std::vector<ImageFileRow>& rows;
    const std::function<void()>& after;
};

class CImageListDlg : public CDialog {
public:
    explicit CImageListDlg(HWND parent = nullptr);

    int GetImageFileCount() const { return m_fileList.GetItemCount(); }
    const CListCtrl& GetFileListCtrl() const { return m_fileList; }
    void UpdateMakeVideoButton();
    void RenumberRows();
    void ConfirmQuit();
    // Appends the row of one file; a path with no file behind it adds nothing.
    void AddImageFile(const std::string& path);
    // Appends the rows in order, then runs after (if any), all in one message to the window's
    // thread, so a worker pays one thread switch for them; returns the row count.
    int AddImageFileRows(const std::vector<ImageFileRow>& rows, const std::function<void()>& after = {});
    // Replaces the list's records with one per row, in row order.
    void CollectImageFiles(ImageFileList& list) const;

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape never close the main window; Enter on the list opens the focused row.
    void OnOK() override;
    void OnCancel() override {}
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(UINT oldDpi, UINT newDpi) override;

private:
    bool OnCommand(UINT id);
    INT_PTR OnNotify(NMHDR& header);
    void GiveRowNumber(LVITEMA& item) const;
    bool OnPaintMinimized();
    void ShowContextMenu(int item, POINT screen);
    void RemoveSelectedFiles();
    void RemoveAllFiles();
    void OnSelectFiles();
    // Adds the files' rows behind the work dialog and shows the job's notice.
    void LoadFiles(const std::vector<std::string>& paths);
    void OnMakeVideo();
    int OnAddImageFileRows(const std::vector<ImageFileRow>& rows, const std::function<void()>& after);
    // ImageListDlgViews.cpp: the About box and the image preview.
    void AddAboutMenuItem(HMENU systemMenu);
    void OnAbout();
    void OnViewImage();
    void OpenPreview(int row);
    // ImageListDlgInput.cpp: files dropped from Explorer and the list's keys.
    void OnDropFiles(HDROP drop);
    bool OnContextMenuKey(HWND source, LPARAM position);
    void OnListKeyDown(WORD key);
    // ImageListDlgSort.cpp: a click on a column heading.
    void OnColumnClick(int column);
    void SortRows(RowColumn column, bool ascending);
    // Column -1: no arrow on any heading.
    void ShowSortArrow(int column, bool ascending);
    void ForgetRow(int row);

    CListCtrl m_fileList;
    HICON m_icon;
    // Each row's data is the count of rows added before it, which orders "No." and keys
    // what the row sorts by under "Created Time" and "Date Taken".
    uint64_t m_rowsAdded = 0;
    std::unordered_map<uint64_t, RowKeys> m_rowKeys;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
};
