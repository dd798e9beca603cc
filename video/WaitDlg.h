// The modal "please wait" dialog: starts one job on a worker thread when it opens and ends
// only when that job posts a completion message. It keeps the job's result text.
#pragma once

#include "filelist/ImageFileList.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Thread.h"
#include "gif/PictureEx.h"

#include <string>
#include <vector>

class CImageListDlg;

// Posted by a job as its last use of the dialog; wParam 0, lParam 0.
constexpr UINT WM_WORK_CLOSE_OK = WM_USER + 101;      // done; the dialog ends with IDOK
constexpr UINT WM_WORK_CLOSE_CANCEL = WM_USER + 102;  // failed; the dialog ends with IDCANCEL

unsigned __stdcall LoadFilesThreadProc(void* parameter);
unsigned __stdcall MakeVideoThreadProc(void* parameter);
unsigned __stdcall DelayThreadProc(void* parameter);

class CWaitDlg : public CDialog {
public:
    explicit CWaitDlg(HWND parent = nullptr);

    void SetMessageId(UINT id) { m_nMessageId = id; }
    void SetFiles(const std::vector<std::string>& files) { m_files = files; }
    std::string GetResultText() const { return m_strResult; }
    // Called by the job on its worker thread, before it posts the completion message.
    void SetResult(UINT id, std::string argument);

    CImageListDlg* m_pMainDlg = nullptr;
    BOOL m_bLoadFiles = FALSE;
    BOOL m_bMakeVideo = FALSE;

protected:
    BOOL OnInitDialog() override;
    // Only a job's completion message ends the dialog: Enter and Escape do nothing.
    void OnOK() override {}
    void OnCancel() override {}
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual bool StartJob(fw::ThreadProc proc);

private:
    friend unsigned __stdcall LoadFilesThreadProc(void* parameter);
    friend unsigned __stdcall MakeVideoThreadProc(void* parameter);
    friend unsigned __stdcall DelayThreadProc(void* parameter);
    void PostCompletion(bool ok) const;

    CPictureEx m_picture;
    CProgressCtrl m_progress;
    UINT m_nMessageId = 0;
    std::string m_strResult;
    std::vector<std::string> m_files;
    ImageFileList m_images;
};
