#include "filelist/AddImageFiles.h"
#include "filelist/ImageListDlg.h"
#include "resource.h"
#include "video/WaitDlg.h"

unsigned __stdcall LoadFilesThreadProc(void* parameter)
{
    CWaitDlg& dialog = *static_cast<CWaitDlg*>(parameter);
    CImageListDlg& mainDlg = *dialog.m_pMainDlg;
    // One repaint at the end instead of one per row.
    mainDlg.GetFileListCtrl().SetRedraw(false);
    int count = static_cast<int>(dialog.m_files.size());
    dialog.m_progress.SetRange(0, count);
    // The bar repaints at every move, so it moves once per batch rather than once per file.
    if (!AddImageFiles(mainDlg, dialog.m_files, [&dialog](int paths) { dialog.m_progress.OffsetPos(paths); }))
        dialog.SetResult(IDS_FILE_LIMIT, "");
    mainDlg.GetFileListCtrl().SetRedraw(true);
    dialog.m_progress.SetPos(count);
    dialog.PostCompletion(true);
    return 0;
}
