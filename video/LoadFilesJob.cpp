#include "video/LoadFilesJob.h"

#include "filelist/ImageListDlg.h"
#include "filelist/RowText.h"
#include "resource.h"

JobResult RunLoadFilesJob(CImageListDlg& mainDlg, const std::vector<std::string>& files, CJobReport& report)
{
    JobResult result;
    // One repaint at the end instead of one per row.
    mainDlg.GetFileListCtrl().SetRedraw(false);
    int count = static_cast<int>(files.size());
    report.SetRange(count);
    for (const std::string& path : files) {
        if (report.CheckStop())
            break;
        if (mainDlg.GetImageFileCount() >= MAX_IMAGE_FILES) {
            result.textId = IDS_FILE_LIMIT;
            break;
        }
        mainDlg.AddImageFile(path);
        report.StepIt();
    }
    mainDlg.GetFileListCtrl().SetRedraw(true);
    report.SetPos(count);
    return result;
}
