// A static text control that acts as a hyperlink: coloured text, a hand pointer, and a click
// that hands its target to the shell's "open" verb.
#pragma once

#include "framework/Handles.h"
#include "framework/Subclass.h"

#include <memory>
#include <string>

// What a click opens. Open is virtual so a test can stand in for the shell.
class LinkTarget {
public:
    LinkTarget() = default;
    explicit LinkTarget(std::string text) : m_text(std::move(text)) {}
    virtual ~LinkTarget() = default;

    const std::string& GetText() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }
    bool IsEmpty() const { return m_text.empty(); }
    // ShellExecute's result: above 32 is success; 0 when there is nothing to open.
    virtual INT_PTR Open() const;

private:
    std::string m_text;
};

class CStaticLink : public CSubclassWnd {
public:
    static constexpr COLORREF UnvisitedLinkColor = RGB(0, 0, 255);
    static constexpr COLORREF VisitedLinkColor = RGB(128, 0, 128);
    static constexpr COLORREF HoverLinkColor = RGB(255, 0, 0);

    explicit CStaticLink(const char* target = nullptr, bool deleteOnDestroy = false);

    void SetTargetText(std::string text) { m_linkTarget->SetText(std::move(text)); }
    const std::string& GetTargetText() const { return m_linkTarget->GetText(); }
    // Keeps the current target text.
    void SetLinkTarget(std::unique_ptr<LinkTarget> target);

    COLORREF GetTextColor() const { return m_textColor; }
    bool IsHovering() const { return m_hovering; }
    HFONT GetLinkFont() const { return m_linkFont.get(); }
    // The pointer every label shows; loaded at the first WM_SETCURSOR of any label.
    static HCURSOR HandCursor() { return s_handCursor; }

protected:
    void PostNcDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Text statics only: icons, bitmaps and frames keep their own colours.
    bool IsTextStatic() const;

private:
    void OnNcHitTest();
    void OnTimer();
    LRESULT OnReflectedCtlColor(HDC dc);
    void OnLButtonDown();
    bool OnSetCursor();
    void SetColorAndRedraw(COLORREF color);

    static constexpr UINT_PTR HOVER_TIMER_ID = 1;
    static constexpr UINT HOVER_TIMER_MS = 100;
    static HCURSOR s_handCursor;
    static bool s_handCursorTried;

    std::unique_ptr<LinkTarget> m_linkTarget;
    COLORREF m_textColor = UnvisitedLinkColor;
    fw::unique_hfont m_linkFont;
    bool m_deleteOnDestroy;
    bool m_hovering = false;
};
