#include "links/AboutDlg.h"

#include "framework/Dpi.h"
#include "framework/Text.h"
#include "resource.h"

#include <string>

namespace {

// The menu font in bold, made for the DPI; when the system cannot say, the zeroed record
// still gives a default bold font. Wide throughout: the face name may be in any script.
fw::unique_hfont CreateBoldMenuFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics;
    fw::NonClientMetricsForDpi(dpi, metrics);
    LOGFONTW font = metrics.lfMenuFont;
    font.lfWeight = FW_BOLD;
    return fw::unique_hfont(::CreateFontIndirectW(&font));
}

} // namespace

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog()
{
    m_mailLink.SubclassDlgItem(IDC_MAIL_LINK, m_hWnd);
    m_versionLabel.Attach(GetDlgItem(IDC_VERSION_LABEL));
    m_webLink.SubclassDlgItem(IDC_WEB_LINK, m_hWnd);

    // Made for the dialog's own DPI, which only its window knows; the dialog manager leaves
    // the label's font to this dialog when the DPI changes.
    fw::KeepOwnFontOnDpiChange(m_versionLabel.GetSafeHwnd());
    UseBoldFont(fw::DpiForWindow(m_hWnd));
    m_webLink.SetTargetText(WEB_SITE);
    m_mailLink.SetTargetText(std::string("mailto:") + SUPPORT_ADDRESS);
    TakeOverBanner();
    return TRUE;
}

void CAboutDlg::OnDpiChanged(UINT, UINT newDpi)
{
    // The links follow the fonts the dialog manager sends them (CStaticLink).
    UseBoldFont(newDpi);
    TakeOverBanner();
}

void CAboutDlg::UseBoldFont(UINT dpi)
{
    fw::unique_hfont font = CreateBoldMenuFont(dpi);
    if (!font)
        return;
    // The label lets go of the old font before it is freed.
    m_versionLabel.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    m_boldFont = std::move(font);
}

void CAboutDlg::TakeOverBanner()
{
    // Windows frees the bitmap a static loaded from the template when the static goes; Wine
    // does not. Holding our own copy and freeing the static's one now leaks on neither.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        fw::unique_hbitmap loaded(static_cast<HBITMAP>(::LoadImageA(
            fw::ResourceModule(), MAKEINTRESOURCEA(IDB_ABOUT_BANNER), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
        BITMAP size{};
        if (!loaded || !::GetObjectA(loaded.get(), sizeof(size), &size))
            return;
        // The banner is drawn for 96 dpi; the static takes the size of the bitmap it is given.
        fw::unique_hbitmap scaled = fw::StretchedCopy(loaded.get(), fw::ScaleToWindow(m_hWnd, size.bmWidth),
                                                      fw::ScaleToWindow(m_hWnd, size.bmHeight));
        fw::unique_hbitmap banner = scaled ? std::move(scaled) : std::move(loaded);
        auto previous = reinterpret_cast<HBITMAP>(
            ::SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner.get())));
        if (previous && previous != m_banner.get())
            ::DeleteObject(previous);
        m_banner = std::move(banner);
        return;
    }
}
