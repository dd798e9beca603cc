#include "video/jobs/LoadFilesJob.h"

#include "filelist/AddImageFiles.h"
#include "filelist/ImageListDlg.h"
#include "resource.h"

JobResult RunLoadFilesJob(CImageListDlg& mainDlg, const std::vector<std::string>& files, CJobReport& report)
{
    JobResult result;
    // One repaint at the end instead of one per row.
    mainDlg.GetFileListCtrl().SetRedraw(false);
    int count = static_cast<int>(files.size());
    report.SetRange(count);
    report.SetCount({JobPhase::ListingFiles, 0, count});
    // The bar repaints at every move, so it moves once per batch rather than once per file.
    int done = 0;
    auto advance = [&](int paths) {
        report.OffsetPos(paths);
        report.SetCount({JobPhase::ListingFiles, done += paths, count});
    };
    if (!AddImageFiles(mainDlg, files, advance, [&report] { return report.CheckStop(); }))
        result.textId = IDS_FILE_LIMIT;
    mainDlg.GetFileListCtrl().SetRedraw(true);
    report.SetPos(count);
    return result;
}
