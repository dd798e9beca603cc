// The About box: banner, bold name and version, the maker's notice, and two links.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "links/StaticLink.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(HWND parent = nullptr);

    static constexpr const char SUPPORT_ADDRESS[] = "support@lumvex.example";
    static constexpr const char WEB_SITE[] = "https://www.lumvex.example/";

    CStaticLink& GetMailLink() { return m_mailLink; }
    CStaticLink& GetWebLink() { return m_webLink; }

protected:
    BOOL OnInitDialog() override;
    void OnDpiChanged(UINT oldDpi, UINT newDpi) override;

private:
    // The version label's bold menu font, made anew for the DPI; the old one is freed.
    void UseBoldFont(UINT dpi);
    void TakeOverBanner();

    CStatic m_versionLabel;
    CStaticLink m_mailLink;
    CStaticLink m_webLink;
    fw::unique_hfont m_boldFont;
    fw::unique_hbitmap m_banner;
};
