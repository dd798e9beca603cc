// The modal "please wait" dialog: starts one job on a worker thread when it opens, shows its
// progress, and ends when that job posts a completion message. It keeps the job's result text.
#pragma once

#include "app/IniSettings.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Thread.h"
#include "gif/PictureEx.h"
#include "video/jobs/JobReport.h"
#include "video/dialogs/TimeLeft.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class CImageListDlg;

// Posted by the job's thread as its last use of the dialog; wParam 0, lParam 0.
constexpr UINT WM_WORK_CLOSE_OK = WM_USER + 101;      // done; the dialog ends with IDOK
constexpr UINT WM_WORK_CLOSE_CANCEL = WM_USER + 102;  // failed; the dialog ends with IDCANCEL

// The job reports through CJobReport; a subclass may play a job of its own through it.
class CWaitDlg : public CDialog, protected CJobReport {
public:
    explicit CWaitDlg(HWND parent = nullptr);

    void SetMessageId(UINT id) { m_nMessageId = id; }
    void SetFiles(const std::vector<std::string>& files) { m_files = files; }
    std::string GetResultText() const { return m_strResult; }
    UINT GetResultId() const { return m_nResultId; }
    // With m_bMakeVideo: a draft of these choices into the claimed file, rather than the video.
    void SetPreview(const CIniSettings& choices, const std::string& draftFile)
    {
        m_previewChoices = choices;
        m_strDraftFile = draftFile;
    }
    // Set on the job's thread, before it posts the completion message.
    void SetResult(UINT id, std::string argument);

    CImageListDlg* m_pMainDlg = nullptr;
    BOOL m_bLoadFiles = FALSE;
    BOOL m_bMakeVideo = FALSE;

protected:
    BOOL OnInitDialog() override;
    // Only the job's completion message ends the dialog. Cancel and Escape ask the job to
    // stop; the job alone decides how it ended, so a late press cannot undo a finished job.
    void OnOK() override {}
    void OnCancel() override;
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual bool StartJob(fw::ThreadProc proc);

private:
    using Job = std::function<JobResult(CJobReport&)>;
    Job SelectJob();
    static unsigned __stdcall JobThreadProc(void* parameter);

    // The job's reports are posted to the bar: the job never waits for a busy window thread,
    // and they still come before the completion message, which is posted after them.
    void SetRange(int upper) override { PostToBar(PBM_SETRANGE, 0, MAKELPARAM(0, upper)); }
    void OffsetPos(int delta) override { PostToBar(PBM_DELTAPOS, static_cast<WPARAM>(delta), 0); }
    void SetPos(int pos) override { PostToBar(PBM_SETPOS, static_cast<WPARAM>(pos), 0); }
    void PostToBar(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        ::PostMessageA(m_progress.GetSafeHwnd(), message, wParam, lParam);
    }
    bool CheckStop() override { return m_stopRequested; }
    void SetCount(JobCount count) override;
    void ShowProgressLine();

    CPictureEx m_picture;
    CProgressCtrl m_progress;
    UINT m_nMessageId = 0;
    std::string m_strResult;
    UINT m_nResultId = 0;
    CIniSettings m_previewChoices;
    std::string m_strDraftFile;
    std::vector<std::string> m_files;
    Job m_job;
    std::atomic<bool> m_stopRequested{false};
    fw::CriticalSection m_countLock;
    JobCount m_count;  // the job's latest, under m_countLock
    CTimeLeft m_timeLeft;
};
