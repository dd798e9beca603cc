// The main window's ways into the About box and the image preview.
#include "filelist/ImageListDlg.h"

#include "filelist/RowText.h"
#include "framework/Text.h"
#include "links/AboutDlg.h"
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
