// The main window: the list of image files and the commands on it.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <string>

class ImageFileList;

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
    // Replaces the list's records with one per row, in row order.
    void CollectImageFiles(ImageFileList& list) const;

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape never close the main window.
    void OnOK() override {}
    void OnCancel() override {}
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(UINT oldDpi, UINT newDpi) override;

private:
    bool OnCommand(UINT id);
    INT_PTR OnNotify(const NMHDR& header);
    bool OnPaintMinimized();
    void ShowContextMenu(int item);
    void RemoveSelectedFiles();
    void RemoveAllFiles();
    void OnSelectFiles();
    void OnMakeVideo();
    void ShowJobResult(INT_PTR ending, const std::string& text);
    // ImageListDlgViews.cpp: the About box and the image preview.
    void AddAboutMenuItem(HMENU systemMenu);
    void OnAbout();
    void OnViewImage();
    void OpenPreview(int row);

    CListCtrl m_fileList;
    HICON m_icon;
};
