#include "video/dialogs/WaitDlg.h"

#include "app/Globals.h"
#include "filelist/ImageListDlg.h"
#include "framework/Text.h"
#include "resource.h"
#include "video/jobs/LoadFilesJob.h"
#include "video/dialogs/ProgressLine.h"
#include "video/jobs/PreviewJob.h"

namespace {

constexpr DWORD DELAY_MS = 5000;
constexpr UINT_PTR PROGRESS_LINE_TIMER = 1;
constexpr UINT PROGRESS_LINE_MS = 1000;

} // namespace

CWaitDlg::CWaitDlg(HWND parent) : CDialog(IDD_WAIT, parent) {}

void CWaitDlg::SetResult(UINT id, std::string argument)
{
    m_nResultId = id;
    std::string text = fw::LoadStringText(id);
    // An empty argument leaves the text as the table holds it, "%" and all.
    m_strResult = argument.empty() ? text : fw::FormatText(text.c_str(), argument.c_str());
}

BOOL CWaitDlg::OnInitDialog()
{
    m_progress.Attach(GetDlgItem(IDC_WAIT_PROGRESS));
    if (m_nMessageId != 0)
        ::SetDlgItemTextA(m_hWnd, IDC_WAIT_LABEL, fw::LoadStringText(m_nMessageId).c_str());
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    ::SetTimer(m_hWnd, PROGRESS_LINE_TIMER, PROGRESS_LINE_MS, nullptr);

    m_job = SelectJob();
    if (!StartJob(JobThreadProc)) {
        // No job will ever post the completion message: end now rather than wait forever.
        if (m_bMakeVideo && !m_bLoadFiles)
            SetResult(IDS_VIDEO_FAILED, "");
        CDialog::OnCancel();
        return TRUE;
    }
    // The busy indicator, once the job runs: loading it takes a while. The dialog works the
    // same without it, so the results are not used.
    m_picture.AttachToWindow(GetDlgItem(IDC_WAIT_ANIMATION));
    m_picture.Load(fw::ResourceModule(), MAKEINTRESOURCEA(IDR_BUSY_GIF), "IMAGE");
    m_picture.Draw();
    return TRUE;
}

CWaitDlg::Job CWaitDlg::SelectJob()
{
    if (m_bLoadFiles)
        return [this](CJobReport& report) { return RunLoadFilesJob(*m_pMainDlg, m_files, report); };
    if (m_bMakeVideo) {
        // The rows are read here, on the thread that owns the list.
        VideoJobInput input;
        if (m_pMainDlg)
            m_pMainDlg->CollectImageFiles(input.images);
        input.settings = m_strDraftFile.empty() ? g_settings : m_previewChoices;
        input.encoderPath = theApp.GetModuleDirectory() + "ffmpeg.exe";
        if (!m_strDraftFile.empty())
            return [input, draft = m_strDraftFile](CJobReport& report) { return RunPreviewJob(input, draft, report); };
        return [input](CJobReport& report) { return RunVideoJob(input, report); };
    }
    return [](CJobReport&) {
        ::Sleep(DELAY_MS);
        return JobResult{};
    };
}

void CWaitDlg::SetCount(JobCount count)
{
    fw::CriticalSection::Lock lock(m_countLock);
    m_count = count;
}

void CWaitDlg::ShowProgressLine()
{
    JobCount count;
    {
        fw::CriticalSection::Lock lock(m_countLock);
        count = m_count;
    }
    // Only the encoder's pace tells the time left: the frames before it are written at
    // another pace altogether.
    if (count.phase == JobPhase::EncodingFrames)
        m_timeLeft.Add(static_cast<long long>(::GetTickCount64()), count.done, count.total);
    std::string line = FormatProgressLine(count, m_timeLeft.Seconds());
    HWND label = GetDlgItem(IDC_WAIT_COUNT);
    if (line != fw::GetWindowTextString(label))
        ::SetWindowTextA(label, line.c_str());
}

void CWaitDlg::OnCancel()
{
    m_stopRequested = true;
    ::EnableWindow(GetDlgItem(IDCANCEL), FALSE);
}

bool CWaitDlg::StartJob(fw::ThreadProc proc)
{
    return fw::StartWorkerThread(proc, this);
}

unsigned __stdcall CWaitDlg::JobThreadProc(void* parameter)
{
    CWaitDlg& dialog = *static_cast<CWaitDlg*>(parameter);
    JobResult result = dialog.m_job(dialog);
    if (result.textId != 0)
        dialog.SetResult(result.textId, result.argument);
    if (result.noteId != 0)
        dialog.m_strResult += "\n" + fw::LoadStringText(result.noteId);
    ::PostMessageA(dialog.m_hWnd, result.ok ? WM_WORK_CLOSE_OK : WM_WORK_CLOSE_CANCEL, 0, 0);
    return 0;
}

INT_PTR CWaitDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WORK_CLOSE_OK) {
        CDialog::OnOK();
        return TRUE;
    }
    if (message == WM_WORK_CLOSE_CANCEL) {
        CDialog::OnCancel();
        return TRUE;
    }
    if (message == WM_TIMER && wParam == PROGRESS_LINE_TIMER) {
        ShowProgressLine();
        return TRUE;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
