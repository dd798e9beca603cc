#include "framework/Controls.h"

#include <vector>

std::string CControl::GetWindowText() const
{
    int length = static_cast<int>(Send(WM_GETTEXTLENGTH));
    std::vector<char> buffer(length + 1, '\0');
    Send(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width) const
{
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = const_cast<char*>(heading.c_str());
    col.iSubItem = column;
    return static_cast<int>(Send(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int item, const char* text, LPARAM data) const
{
    LVITEMA row{};
    row.mask = LVIF_TEXT | LVIF_PARAM;
    row.iItem = item;
    row.pszText = const_cast<char*>(text);
    row.lParam = data;
    return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

LPARAM CListCtrl::GetItemData(int item) const
{
    LVITEMA row{};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    return Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)) ? row.lParam : 0;
}

bool CListCtrl::SetItemText(int item, int subItem, const std::string& text) const
{
    LVITEMA cell{};
    cell.iSubItem = subItem;
    cell.pszText = const_cast<char*>(text.c_str());
    return Send(LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell)) != 0;
}

bool CListCtrl::SetItemState(int item, UINT state, UINT mask) const
{
    LVITEMA row{};
    row.state = state;
    row.stateMask = mask;
    return Send(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&row)) != 0;
}

bool CListCtrl::GetItemRect(int item, RECT& rect, int code) const
{
    rect = RECT{code, 0, 0, 0};
    return Send(LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect)) != 0;
}

std::string CListCtrl::GetItemText(int item, int subItem) const
{
    // The view copies at most the buffer's size; grow until the text fits.
    std::vector<char> buffer(264);
    for (;;) {
        LVITEMA cell{};
        cell.iSubItem = subItem;
        cell.pszText = buffer.data();
        cell.cchTextMax = static_cast<int>(buffer.size());
        LRESULT length = Send(LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell));
        if (length < static_cast<LRESULT>(buffer.size()) - 1)
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}
