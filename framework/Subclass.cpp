#include "framework/Subclass.h"

#include <commctrl.h>

CSubclassWnd::~CSubclassWnd()
{
    Detach();
}

bool CSubclassWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd)
        return false;
    m_hWnd = hwnd;
    PreSubclassWindow();
    if (!::SetWindowSubclass(hwnd, SubclassProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this))) {
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

void CSubclassWnd::Detach()
{
    if (m_hWnd) {
        ::RemoveWindowSubclass(m_hWnd, SubclassProc, reinterpret_cast<UINT_PTR>(this));
        m_hWnd = nullptr;
    }
}

LRESULT CSubclassWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefSubclassProc(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CSubclassWnd::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR refData)
{
    auto* self = reinterpret_cast<CSubclassWnd*>(refData);
    if (message == WM_NCDESTROY) {
        self->Detach();
        LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        self->PostNcDestroy();
        return result;
    }
    // Nothing thrown may cross into the system: the control then handles the message itself.
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
}
