#include "preview/PictureCtrl.h"

#include "framework/Dpi.h"
#include "framework/Handles.h"

namespace {

// The picture from the top-left corner: at its own size when it fits, else shrunk by one
// factor for both axes, so it keeps its shape.
RECT ShownRect(SIZE picture, const RECT& area)
{
    LONG width = area.right, height = area.bottom;
    if (picture.cx <= 0 || picture.cy <= 0)
        return RECT{};
    if (picture.cx <= width && picture.cy <= height)
        return RECT{0, 0, picture.cx, picture.cy};
    if (static_cast<LONGLONG>(picture.cx) * height > static_cast<LONGLONG>(picture.cy) * width)
        return RECT{0, 0, width, ::MulDiv(picture.cy, width, picture.cx)};
    return RECT{0, 0, ::MulDiv(picture.cx, height, picture.cy), height};
}

} // namespace

void CPictureCtrl::PreSubclassWindow()
{
    if (m_path.empty())
        return;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    m_image.Load(m_path);
}

LRESULT CPictureCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        return CStaticLink::WindowProc(message, wParam, lParam);
    }
}

void CPictureCtrl::OnEraseBackground(HDC dc)
{
    // A static leaves its background to its paint, which this control replaces; without a
    // fresh background a transparent image would blend over its own earlier copy at every
    // repaint. The brush is the one the parent gives its statics.
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(::GetParent(m_hWnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hWnd)));
    if (!brush)
        return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::FillRect(dc, &client, brush);
}

void CPictureCtrl::OnPaint()
{
    fw::PaintDC dc(m_hWnd);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    // The natural size is the image's pixels at 96 dpi, so the image keeps its place in the
    // dialog, whose controls grow with the DPI.
    SIZE size = m_image.GetSize();
    RECT destination = ShownRect({fw::ScaleToWindow(m_hWnd, size.cx), fw::ScaleToWindow(m_hWnd, size.cy)}, client);
    fw::UseHalftoneStretching(dc.get());
    m_image.Draw(dc.get(), destination);
}
