#include "video/WaitDlg.h"

#include "framework/Text.h"
#include "resource.h"

CWaitDlg::CWaitDlg(HWND parent) : CDialog(IDD_WAIT, parent) {}

void CWaitDlg::SetResult(UINT id, std::string argument)
{
    std::string text = fw::LoadStringText(id);
    // An empty argument leaves the text as the table holds it, "%" and all.
    m_strResult = argument.empty() ? text : fw::FormatText(text.c_str(), argument.c_str());
}

BOOL CWaitDlg::OnInitDialog()
{
    m_progress.Attach(GetDlgItem(IDC_WAIT_PROGRESS));
    // The busy indicator; the dialog works the same without it, so the results are not used.
    m_picture.AttachToWindow(GetDlgItem(IDC_WAIT_ANIMATION));
    m_picture.Load(fw::ResourceModule(), MAKEINTRESOURCEA(IDR_BUSY_GIF), "IMAGE");
    m_picture.Draw();
    if (m_nMessageId != 0)
        ::SetDlgItemTextA(m_hWnd, IDC_WAIT_LABEL, fw::LoadStringText(m_nMessageId).c_str());
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_progress.SetStep(1);

    fw::ThreadProc job = m_bLoadFiles ? LoadFilesThreadProc : m_bMakeVideo ? MakeVideoThreadProc : DelayThreadProc;
    if (!StartJob(job)) {
        // No job will ever post the completion message: end now rather than wait forever.
        if (m_bMakeVideo && !m_bLoadFiles)
            SetResult(IDS_VIDEO_FAILED, "");
        CDialog::OnCancel();
    }
    return TRUE;
}

bool CWaitDlg::StartJob(fw::ThreadProc proc)
{
    return fw::StartWorkerThread(proc, this);
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
    return CDialog::WindowProc(message, wParam, lParam);
}

void CWaitDlg::PostCompletion(bool ok) const
{
    ::PostMessageA(m_hWnd, ok ? WM_WORK_CLOSE_OK : WM_WORK_CLOSE_CANCEL, 0, 0);
}

unsigned __stdcall DelayThreadProc(void* parameter)
{
    ::Sleep(5000);
    static_cast<CWaitDlg*>(parameter)->PostCompletion(true);
    return 0;
}
