// Modal dialog base: one static dialog procedure binds the object on WM_INITDIALOG and hands
// every later message to the object's virtual hooks.
#pragma once

#include <windows.h>

// Messages a dialog reflects back to the control that sent them, so a subclassed control
// can colour itself: wParam and lParam are those of the original WM_CTLCOLOR* message.
constexpr UINT WM_REFLECT_BASE = WM_USER + 0x1C00;
constexpr UINT WM_REFLECT_CTLCOLORSTATIC = WM_REFLECT_BASE + WM_CTLCOLORSTATIC;

class CDialog {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

protected:
    // Return TRUE to let the system put the focus on the first control that takes it.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // The window has moved to the suggested rectangle of a screen of another scale; resize
    // here what is in pixels. The system rescales the controls laid out in dialog units.
    virtual void OnDpiChanged(UINT /*oldDpi*/, UINT /*newDpi*/) {}
    // Every message after WM_INITDIALOG; answers as a dialog procedure does (TRUE when
    // handled). What a subclass does not handle it passes on to this one.
    virtual INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The result of a notification or of a message whose answer is not TRUE/FALSE.
    INT_PTR SetMessageResult(LRESULT result);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CenterOnOwner();
    void MoveToNewDpi(UINT newDpi, const RECT& suggested);

    UINT m_templateId;
    UINT m_dpi = 0;
    HWND m_parent;
};
