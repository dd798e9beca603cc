#include "framework/Dpi.h"

namespace fw {

UINT DpiForWindow(HWND window)
{
    // Looked up at run time: Windows 7 has no GetDpiForWindow.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow) {
        if (UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    WindowDC dc(window);
    int dpi = dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : DESIGN_DPI;
}

int ScaleToWindow(HWND window, int pixels)
{
    return ::MulDiv(pixels, static_cast<int>(DpiForWindow(window)), static_cast<int>(DESIGN_DPI));
}

void UseHalftoneStretching(HDC dc)
{
    ::SetStretchBltMode(dc, HALFTONE);
    // HALFTONE leaves the brush origin undefined; the mode's documentation asks for this reset.
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
}

unique_hbitmap StretchedCopy(HBITMAP source, int width, int height)
{
    BITMAP info{};
    if (!::GetObjectA(source, sizeof(info), &info))
        return {};
    WindowDC screen(nullptr);
    unique_hbitmap copy(::CreateCompatibleBitmap(screen.get(), width, height));
    unique_hdc from(::CreateCompatibleDC(screen.get()));
    unique_hdc to(::CreateCompatibleDC(screen.get()));
    if (!copy || !from || !to)
        return {};
    ScopedSelect sourceSelected(from.get(), source);
    ScopedSelect copySelected(to.get(), copy.get());
    UseHalftoneStretching(to.get());
    if (!::StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY))
        return {};
    return copy;
}

} // namespace fw
