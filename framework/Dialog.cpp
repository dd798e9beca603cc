#include "framework/Dialog.h"

#include "framework/Dpi.h"
#include "framework/Text.h"

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR CDialog::DoModal()
{
    INT_PTR result = ::DialogBoxParamA(fw::ResourceModule(), MAKEINTRESOURCEA(m_templateId), m_parent,
                                       DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

void CDialog::EndDialog(INT_PTR result)
{
    ::EndDialog(m_hWnd, result);
}

INT_PTR CDialog::SetMessageResult(LRESULT result)
{
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        // Offer the colouring to the control first; a non-null brush is its answer.
        if (LRESULT brush = ::SendMessageA(reinterpret_cast<HWND>(lParam), WM_REFLECT_CTLCOLORSTATIC, wParam, lParam))
            return static_cast<INT_PTR>(brush);
        return FALSE;
    case WM_DPICHANGED:
        MoveToNewDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        // Not handled: the dialog manager goes on to rescale the controls and their fonts.
        return FALSE;
    default:
        return FALSE;
    }
}

void CDialog::MoveToNewDpi(UINT newDpi, const RECT& suggested)
{
    ::SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    UINT oldDpi = m_dpi;
    m_dpi = newDpi;
    if (oldDpi != newDpi)
        OnDpiChanged(oldDpi, newDpi);
}

void CDialog::CenterOnOwner()
{
    RECT dialog;
    ::GetWindowRect(m_hWnd, &dialog);
    RECT area;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
        area = info.rcWork;
    }
    int width = dialog.right - dialog.left;
    int height = dialog.bottom - dialog.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing thrown may cross into the system: the dialog ends as one that could not run.
    try {
        return HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        ::EndDialog(hwnd, -1);
        return FALSE;
    }
}

INT_PTR CDialog::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        dialog->m_hWnd = hwnd;
        dialog->m_dpi = fw::DpiForWindow(hwnd);
        RECT before;
        ::GetWindowRect(hwnd, &before);
        BOOL result = dialog->OnInitDialog();
        RECT after;
        ::GetWindowRect(hwnd, &after);
        // Like the framework it stands in for: centre a dialog its initialisation did not move.
        if (before.left == after.left && before.top == after.top)
            dialog->CenterOnOwner();
        return result;
    }
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!dialog)
        return FALSE;
    return dialog->WindowProc(message, wParam, lParam);
}
