#include "preview/ImagePreviewDlg.h"

#include "framework/Text.h"
#include "resource.h"

CImagePreviewDlg::CImagePreviewDlg(HWND parent) : CDialog(IDD_IMAGE_PREVIEW, parent) {}

BOOL CImagePreviewDlg::OnInitDialog()
{
    std::string title = fw::FormatText(fw::LoadStringText(IDS_IMAGE_PREVIEW_TITLE).c_str(), m_imageName.c_str());
    ::SetWindowTextA(m_hWnd, title.c_str());
    if (m_imagePath.empty())
        return FALSE;
    m_picture.SetImagePath(m_imagePath);
    m_picture.SubclassDlgItem(IDC_PREVIEW_PICTURE, m_hWnd);
    return TRUE;
}
