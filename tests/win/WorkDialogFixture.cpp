#include "WorkDialogFixture.h"

#include "resource.h"

#include <ostream>

std::ostream& operator<<(std::ostream& out, const ProgressCall& call)
{
    const char* name = call.message == PBM_SETRANGE ? "SETRANGE"
                     : call.message == PBM_SETPOS   ? "SETPOS"
                     : call.message == PBM_DELTAPOS ? "DELTAPOS"
                     : call.message == PBM_STEPIT   ? "STEPIT"
                     : call.message == PBM_SETSTEP  ? "SETSTEP"
                                                    : "?";
    if (call.message == PBM_SETRANGE)
        return out << name << "(" << LOWORD(call.lParam) << ".." << HIWORD(call.lParam) << ")";
    return out << name << "(" << call.wParam << ")";
}

ProgressCall SetRange(int lower, int upper)
{
    return {PBM_SETRANGE, 0, MAKELPARAM(lower, upper)};
}
ProgressCall SetPos(int pos)
{
    return {PBM_SETPOS, static_cast<WPARAM>(pos), 0};
}
ProgressCall DeltaPos(int delta)
{
    return {PBM_DELTAPOS, static_cast<WPARAM>(delta), 0};
}
ProgressCall StepIt()
{
    return {PBM_STEPIT, 0, 0};
}

std::vector<ProgressCall> OpeningCalls()
{
    return {SetRange(0, 100), SetPos(0), {PBM_SETSTEP, 1, 0}};
}

std::vector<ProgressCall> RecordingWaitDlg::Calls()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_calls;
}

BOOL RecordingWaitDlg::OnInitDialog()
{
    ::SetWindowSubclass(GetDlgItem(IDC_WAIT_PROGRESS), Record, 1, reinterpret_cast<DWORD_PTR>(this));
    return CWaitDlg::OnInitDialog();
}

bool RecordingWaitDlg::StartJob(fw::ThreadProc proc)
{
    return !m_failThreadStart && CWaitDlg::StartJob(proc);
}

LRESULT CALLBACK RecordingWaitDlg::Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == PBM_SETRANGE || message == PBM_SETPOS || message == PBM_DELTAPOS || message == PBM_STEPIT
        || message == PBM_SETSTEP || message == PBM_SETRANGE32) {
        auto* self = reinterpret_cast<RecordingWaitDlg*>(data);
        std::lock_guard<std::mutex> hold(self->m_lock);
        self->m_calls.push_back({message, wParam, lParam});
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

MainWindowHost::MainWindowHost()
{
    m_ui = std::make_unique<rig::UiThread>([this] { m_dialog.DoModal(); });
    rig::WaitUntil([this] { return m_dialog.GetSafeHwnd() != nullptr && ::IsWindowVisible(m_dialog.GetSafeHwnd()); });
}

MainWindowHost::~MainWindowHost()
{
    // The window itself only ends after asking; end its modal run directly.
    ::EndDialog(m_dialog.GetSafeHwnd(), IDOK);
    m_ui->Join(3000);
}

HWND MainWindowHost::List() const
{
    return m_dialog.GetFileListCtrl().GetSafeHwnd();
}

void MainWindowHost::AddRow(const std::string& type, const std::string& path, const std::string& createdTime)
{
    std::string name = path.substr(path.find_last_of('\\') + 1);
    char number[8];
    sprintf_s(number, "%04d", rig::RowCount(List()) + 1);
    rig::AppendRow(List(), {number, name, type, "10 X 10", createdTime, path});
}

WorkResult RunWorkDialog(RecordingWaitDlg& dialog, DWORD timeoutMs)
{
    WorkResult result;
    rig::UiThread ui([&] { result.ending = dialog.DoModal(); });
    if (!ui.Join(timeoutMs))
        return result;
    result.text = dialog.GetResultText();
    result.calls = dialog.Calls();
    return result;
}
