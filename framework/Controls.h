// Control wrappers. They do not own their window, and every operation is one window
// message, so a worker thread that calls them is served by the user-interface thread.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <string>

class CControl {
public:
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void SetRedraw(bool redraw) const { Send(WM_SETREDRAW, redraw ? TRUE : FALSE); }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text) const { Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }

protected:
    HWND m_hWnd = nullptr;
};

class CStatic : public CControl {
};

class CProgressCtrl : public CControl {
public:
    void SetRange(int lower, int upper) const { Send(PBM_SETRANGE, 0, MAKELPARAM(lower, upper)); }
    int SetPos(int pos) const { return static_cast<int>(Send(PBM_SETPOS, pos)); }
};

class CComboBox : public CControl {
public:
    int AddString(const std::string& text) const
    {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void ResetContent() const { Send(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(Send(CB_SETCURSEL, index)); }
};

class CListCtrl : public CControl {
public:
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int InsertColumn(int column, const std::string& heading, int format, int width) const;
    int GetColumnWidth(int column) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, column)); }
    bool SetColumnWidth(int column, int width) const { return Send(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != 0; }
    // LPSTR_TEXTCALLBACKA for text the parent gives each time the row is drawn or read.
    int InsertItem(int item, const char* text, LPARAM data = 0) const;
    LPARAM GetItemData(int item) const;
    // The view orders its rows by the comparison of their data.
    bool SortItems(PFNLVCOMPARE compare, LPARAM context) const
    {
        return Send(LVM_SORTITEMS, static_cast<WPARAM>(context), reinterpret_cast<LPARAM>(compare)) != 0;
    }
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER)); }
    bool SetItemText(int item, int subItem, const std::string& text) const;
    std::string GetItemText(int item, int subItem) const;
    bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, item) != 0; }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }
    int GetSelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
    int GetNextItem(int start, int flags) const { return static_cast<int>(Send(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0))); }
    // Item -1: every row.
    bool SetItemState(int item, UINT state, UINT mask) const;
    bool GetItemRect(int item, RECT& rect, int code) const;
    bool EnsureVisible(int item) const { return Send(LVM_ENSUREVISIBLE, item, FALSE) != 0; }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
};
