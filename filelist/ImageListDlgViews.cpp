// The main window's ways into the About box and the image preview.
#include "filelist/ImageListDlg.h"

#include "filelist/RowText.h"
#include "framework/Text.h"
#include "links/AboutDlg.h"
#include "preview/ImagePreviewDlg.h"
#include "resource.h"

void CImageListDlg::AddAboutMenuItem(HMENU systemMenu)
{
    std::string text = fw::LoadStringText(IDS_ABOUTBOX);
    if (text.empty())
        return;
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text.c_str());
}

void CImageListDlg::OnAbout()
{
    // Owned by the main window, so the main window is disabled while the box is up.
    CAboutDlg about(m_hWnd);
    about.DoModal();
}

void CImageListDlg::OnViewImage()
{
    OpenPreview(m_fileList.GetNextItem(-1, LVNI_SELECTED));
}

void CImageListDlg::OpenPreview(int row)
{
    if (row < 0 || row >= m_fileList.GetItemCount())
        return;
    CImagePreviewDlg preview(m_hWnd);
    preview.m_imagePath = m_fileList.GetItemText(row, COLUMN_FILE_PATH);
    if (preview.m_imagePath.empty())
        return;
    preview.m_imageName = m_fileList.GetItemText(row, COLUMN_FILE_NAME);
    preview.DoModal();
}
