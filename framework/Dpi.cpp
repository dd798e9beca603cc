#include "framework/Dpi.h"

namespace fw {

namespace {

// A function of user32 that older Windows lacks (Windows 7 has none of these), looked up at
// run time.
template <typename Function>
Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

} // namespace

UINT DpiForWindow(HWND window)
{
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowProc>("GetDpiForWindow");
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

void NonClientMetricsForDpi(UINT dpi, NONCLIENTMETRICSW& metrics)
{
    using ForDpiProc = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = User32Function<ForDpiProc>("SystemParametersInfoForDpi");
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof(metrics);
    if (forDpi) {
        if (forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi))
            return;
    } else if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        WindowDC screen(nullptr);
        int systemDpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
        if (systemDpi > 0) {
            for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                                   &metrics.lfStatusFont, &metrics.lfMessageFont})
                font->lfHeight = ::MulDiv(font->lfHeight, static_cast<int>(dpi), systemDpi);
        }
        return;
    }
    metrics = NONCLIENTMETRICSW{};
}

void KeepOwnFontOnDpiChange(HWND control)
{
    // DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS's DCDC_DISABLE_FONT_UPDATE.
    constexpr UINT DISABLE_FONT_UPDATE = 0x0001;
    using SetBehaviorProc = BOOL(WINAPI*)(HWND, UINT, UINT);
    static const auto setBehavior = User32Function<SetBehaviorProc>("SetDialogControlDpiChangeBehavior");
    if (setBehavior)
        setBehavior(control, DISABLE_FONT_UPDATE, DISABLE_FONT_UPDATE);
}

} // namespace fw
