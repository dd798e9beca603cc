// Files dropped from Explorer, and the keys of the list: ways into the main window's
// commands that need no mouse on a button.
#include "filelist/ImageListDlg.h"

#include "filelist/DroppedFiles.h"
#include "framework/Handles.h"

#include <windowsx.h>

void CImageListDlg::OnOK()
{
    // A dialog turns Enter into IDOK before the list sees the key.
    if (::GetFocus() == m_fileList.GetSafeHwnd())
        OpenPreview(m_fileList.GetNextItem(-1, LVNI_FOCUSED));
}

void CImageListDlg::OnDropFiles(HDROP drop)
{
    fw::unique_hdrop owned(drop);
    // The loop of a modal dialog over this window still dispatches the drop to it; taken
    // then, it would start a second job while the first fills the list.
    if (!::IsWindowEnabled(m_hWnd))
        return;
    std::vector<std::string> paths = ReadDroppedPaths(owned.get());
    owned.reset();
    if (!paths.empty())
        LoadFiles(paths);
}

bool CImageListDlg::OnContextMenuKey(HWND source, LPARAM position)
{
    // Only the keyboard's request (-1, -1): the list has answered a right-click with
    // NM_RCLICK already.
    if (source != m_fileList.GetSafeHwnd() || GET_X_LPARAM(position) != -1 || GET_Y_LPARAM(position) != -1)
        return false;
    int row = m_fileList.GetNextItem(-1, LVNI_FOCUSED);
    POINT at{0, 0};
    RECT rect;
    if (row >= 0 && m_fileList.EnsureVisible(row) && m_fileList.GetItemRect(row, rect, LVIR_LABEL))
        at = {rect.left, rect.bottom};
    ::ClientToScreen(m_fileList.GetSafeHwnd(), &at);
    ShowContextMenu(row, at);
    return true;
}

void CImageListDlg::OnListKeyDown(WORD key)
{
    if (key == VK_DELETE)
        RemoveSelectedFiles();
    else if (key == 'A' && ::GetKeyState(VK_CONTROL) < 0)
        m_fileList.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}
