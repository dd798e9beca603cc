#include "links/StaticLink.h"

#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/Text.h"

#include <shellapi.h>

HCURSOR CStaticLink::s_handCursor = nullptr;
bool CStaticLink::s_handCursorTried = false;

INT_PTR LinkTarget::Open() const
{
    if (m_text.empty())
        return 0;
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", m_text.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

CStaticLink::CStaticLink(const char* target, bool deleteOnDestroy)
    : m_linkTarget(std::make_unique<LinkTarget>(target ? target : "")), m_deleteOnDestroy(deleteOnDestroy)
{
}

void CStaticLink::SetLinkTarget(std::unique_ptr<LinkTarget> target)
{
    if (!target)
        return;
    target->SetText(m_linkTarget->GetText());
    m_linkTarget = std::move(target);
}

void CStaticLink::PostNcDestroy()
{
    if (m_deleteOnDestroy)
        delete this;
}

bool CStaticLink::IsTextStatic() const
{
    // The type bits only: SS_NOPREFIX, which a link to an address with '&' needs, shares the
    // low byte and must not turn the colouring off.
    return (::GetWindowLongA(m_hWnd, GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT;
}

LRESULT CStaticLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        // Without SS_NOTIFY a static is transparent to the mouse; claiming the client area
        // brings the hover, cursor and click messages here.
        OnNcHitTest();
        return HTCLIENT;
    case WM_REFLECT_CTLCOLORSTATIC:
        return OnReflectedCtlColor(reinterpret_cast<HDC>(wParam));
    case WM_LBUTTONDOWN:
        OnLButtonDown();
        return 0;
    case WM_TIMER:
        OnTimer();
        break;
    case WM_SETCURSOR:
        return OnSetCursor() ? TRUE : FALSE;
    case WM_SETFONT:
        // The control's new font, such as the one the dialog manager makes for a new DPI:
        // the copy of the old one goes first, so the redraw that may follow copies this one.
        m_linkFont.reset();
        break;
    case WM_DPICHANGED_AFTERPARENT:
        // The dialog has moved to a screen of another scale and its manager has sent the
        // controls their fonts for it: the copy is made anew from the control's font.
        m_linkFont.reset();
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

void CStaticLink::OnNcHitTest()
{
    if (m_hovering)
        return;
    m_hovering = true;
    SetColorAndRedraw(HoverLinkColor);
    ::SetTimer(m_hWnd, HOVER_TIMER_ID, HOVER_TIMER_MS, nullptr);
}

void CStaticLink::OnTimer()
{
    DWORD position = ::GetMessagePos();
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::ScreenToClient(m_hWnd, &point);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (::PtInRect(&client, point))
        return;
    m_hovering = false;
    ::KillTimer(m_hWnd, HOVER_TIMER_ID);
    SetColorAndRedraw(UnvisitedLinkColor);
}

LRESULT CStaticLink::OnReflectedCtlColor(HDC dc)
{
    if (!IsTextStatic())
        return 0;
    if (!m_linkFont) {
        // A copy of the dialog's font, so the label reads like the text around it; a control
        // without a font of its own draws in the system font, and so does its copy.
        // Wide, so a face named in any script comes through whole.
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        if (!font || !::GetObjectW(font, sizeof(logFont), &logFont))
            ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof(logFont), &logFont);
        logFont.lfUnderline = FALSE;
        m_linkFont.reset(::CreateFontIndirectW(&logFont));
    }
    if (m_linkFont)
        ::SelectObject(dc, m_linkFont.get());
    ::SetTextColor(dc, m_textColor);
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

void CStaticLink::OnLButtonDown()
{
    if (m_linkTarget->IsEmpty()) {
        std::string text = fw::LoadStringText(::GetDlgCtrlID(m_hWnd));
        if (text.empty())
            text = fw::GetWindowTextString(m_hWnd);
        if (text.empty())
            return;
        m_linkTarget->SetText(text);
    }
    if (m_linkTarget->Open() > 32)
        SetColorAndRedraw(VisitedLinkColor);
    else
        ::MessageBeep(0);
}

bool CStaticLink::OnSetCursor()
{
    if (!s_handCursor) {
        if (s_handCursorTried)
            return false;
        s_handCursorTried = true;
        // A shared system cursor: it belongs to the system and is never destroyed.
        s_handCursor = ::LoadCursorA(nullptr, IDC_HAND);
        if (!s_handCursor)
            return false;
    }
    ::SetCursor(s_handCursor);
    return true;
}

void CStaticLink::SetColorAndRedraw(COLORREF color)
{
    m_textColor = color;
    if (IsTextStatic()) {
        // The text is drawn transparently over whatever lies below; the parent must repaint
        // that first, or the old colour's edges stay around the new text.
        HWND parent = ::GetParent(m_hWnd);
        RECT rect;
        ::GetWindowRect(m_hWnd, &rect);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        ::InvalidateRect(parent, &rect, TRUE);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}
