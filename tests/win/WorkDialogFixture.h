// A main window and a work dialog on threads of their own, with every progress-bar message
// the job sends recorded in order.
#pragma once

#include "filelist/ImageListDlg.h"
#include "rig/Rig.h"
#include "video/WaitDlg.h"

#include <commctrl.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct ProgressCall {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const ProgressCall& other) const
    {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};
std::ostream& operator<<(std::ostream& out, const ProgressCall& call);

// The calls the dialog itself makes before the job starts.
std::vector<ProgressCall> OpeningCalls();
ProgressCall SetRange(int lower, int upper);
ProgressCall SetPos(int pos);
ProgressCall DeltaPos(int delta);
ProgressCall StepIt();

class RecordingWaitDlg : public CWaitDlg {
public:
    bool m_failThreadStart = false;
    std::vector<ProgressCall> Calls();

protected:
    BOOL OnInitDialog() override;
    bool StartJob(fw::ThreadProc proc) override;

private:
    static LRESULT CALLBACK Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);
    std::mutex m_lock;
    std::vector<ProgressCall> m_calls;
};

class MainWindowHost {
public:
    MainWindowHost();
    ~MainWindowHost();
    CImageListDlg& Window() { return m_dialog; }
    HWND List() const;
    // One row of texts: number, name, type, dimensions, created time, path.
    void AddRow(const std::string& type, const std::string& path, const std::string& createdTime = "01/02/2020 10:00:00");

private:
    CImageListDlg m_dialog;
    std::unique_ptr<rig::UiThread> m_ui;
};

struct WorkResult {
    INT_PTR ending = 0;
    std::string text;
    std::vector<ProgressCall> calls;
};

// Runs the configured dialog modally and waits for its end.
WorkResult RunWorkDialog(RecordingWaitDlg& dialog, DWORD timeoutMs = 120000);
