#include "filelist/ImageListDlg.h"

#include "filelist/ImageFileRow.h"
#include "filelist/RowText.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"
#include "framework/Text.h"
#include "imaging/ImageHeader.h"
#include "resource.h"

#include <iterator>

namespace {

struct Column {
    const char* heading;
    int width;  // pixels at 96 dpi
};
const Column COLUMNS[] = {
    {"No.", 40},           {"File Name", 150},  {"Type", 65},       {"Dimensions", 85},
    {"Created Time", 130}, {"Date Taken", 130}, {"File Path", 300},
};

} // namespace

CImageListDlg::CImageListDlg(HWND parent)
    : CDialog(IDD_MAIN, parent), m_icon(::LoadIconA(fw::ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
}

BOOL CImageListDlg::OnInitDialog()
{
    m_fileList.Attach(GetDlgItem(IDC_FILE_LIST));

    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        AddAboutMenuItem(systemMenu);
        ::DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);
        ::DeleteMenu(systemMenu, SC_RESTORE, MF_BYCOMMAND);
        ::DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    }
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));

    int index = 0;
    for (const Column& column : COLUMNS)
        m_fileList.InsertColumn(index++, column.heading, LVCFMT_LEFT, fw::ScaleToWindow(m_hWnd, column.width));
    m_fileList.SetExtendedStyle(m_fileList.GetExtendedStyle() | LVS_EX_FULLROWSELECT);

    ::DragAcceptFiles(m_hWnd, TRUE);

    UpdateMakeVideoButton();
    return TRUE;
}

void CImageListDlg::OnDpiChanged(UINT oldDpi, UINT newDpi)
{
    // From the current widths, so the user's own column sizing survives the move.
    for (int column = 0; column < static_cast<int>(std::size(COLUMNS)); ++column)
        m_fileList.SetColumnWidth(column, ::MulDiv(m_fileList.GetColumnWidth(column), newDpi, oldDpi));
}

INT_PTR CImageListDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            ConfirmQuit();
            return TRUE;
        }
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            OnAbout();
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        // Every way of closing asks first; nothing else may end the window.
        ConfirmQuit();
        return SetMessageResult(1);
    case WM_PAINT:
        if (OnPaintMinimized())
            return TRUE;
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_icon);
    case WM_ADD_IMAGE_ROWS: {
        const auto& arguments = *reinterpret_cast<const ImageRowsMessage*>(lParam);
        return SetMessageResult(OnAddImageFileRows(arguments.rows, arguments.after));
    }
    case WM_COMMAND:
        if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) {
            if (OnCommand(LOWORD(wParam)))
                return TRUE;
        }
        break;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return SetMessageResult(0);
    case WM_CONTEXTMENU:
        if (OnContextMenuKey(reinterpret_cast<HWND>(wParam), lParam))
            return TRUE;
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

bool CImageListDlg::OnCommand(UINT id)
{
    switch (id) {
    case IDC_CLOSE:
        ConfirmQuit();
        return true;
    case ID_REMOVE_SELECTED:
        RemoveSelectedFiles();
        return true;
    case ID_REMOVE_ALL:
        RemoveAllFiles();
        return true;
    case ID_VIEW_IMAGE:
        OnViewImage();
        return true;
    case IDC_SELECT_FILES:
        OnSelectFiles();
        return true;
    case IDC_MAKE_VIDEO:
        OnMakeVideo();
        return true;
    default:
        return false;
    }
}

INT_PTR CImageListDlg::OnNotify(NMHDR& header)
{
    if (header.idFrom != IDC_FILE_LIST)
        return FALSE;
    if (header.code == NM_RCLICK) {
        int item = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
        if (item >= -1 && item < m_fileList.GetItemCount()) {
            POINT cursor;
            ::GetCursorPos(&cursor);
            ShowContextMenu(item, cursor);
            return SetMessageResult(0);
        }
    }
    if (header.code == LVN_GETDISPINFOA)
        GiveRowNumber(reinterpret_cast<NMLVDISPINFOA&>(header).item);
    if (header.code == LVN_COLUMNCLICK)
        OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    if (header.code == LVN_KEYDOWN)
        OnListKeyDown(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
    if (header.code == NM_DBLCLK) {
        OpenPreview(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        return SetMessageResult(0);
    }
    return FALSE;
}

bool CImageListDlg::OnPaintMinimized()
{
    if (!::IsIconic(m_hWnd))
        return false;
    fw::PaintDC dc(m_hWnd);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.get(), x, y, m_icon);
    return true;
}

void CImageListDlg::ConfirmQuit()
{
    if (fw::ShowMessageBox(m_hWnd, "Are you sure to quit?", MB_YESNO) != IDNO)
        CDialog::OnOK();
}

void CImageListDlg::UpdateMakeVideoButton()
{
    ::EnableWindow(GetDlgItem(IDC_MAKE_VIDEO), m_fileList.GetItemCount() > 0);
}

// A row's number is its place, given whenever the view draws or reads it: a sort or a removal
// of 9,999 rows rewrites no cell.
void CImageListDlg::GiveRowNumber(LVITEMA& item) const
{
    if (item.iSubItem == COLUMN_NUMBER && (item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        ::lstrcpynA(item.pszText, FormatRowNumber(item.iItem + 1).c_str(), item.cchTextMax);
}

void CImageListDlg::RenumberRows()
{
    ::InvalidateRect(m_fileList.GetSafeHwnd(), nullptr, FALSE);
}

void CImageListDlg::ShowContextMenu(int item, POINT screen)
{
    fw::unique_hmenu menu(::LoadMenuA(fw::ResourceModule(), MAKEINTRESOURCEA(IDR_LIST_MENU)));
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    if (!popup)
        return;
    if (item == -1) {
        ::EnableMenuItem(popup, ID_VIEW_IMAGE, MF_BYCOMMAND | MF_GRAYED);
        ::EnableMenuItem(popup, ID_REMOVE_SELECTED, MF_BYCOMMAND | MF_GRAYED);
    } else {
        // Rows of "Others" have no picture to show.
        std::string type = m_fileList.GetItemText(item, COLUMN_TYPE);
        if (m_fileList.GetSelectedCount() > 1 || type == "Unsupported" || type == IMAGE_TYPE_OTHERS)
            ::EnableMenuItem(popup, ID_VIEW_IMAGE, MF_BYCOMMAND | MF_GRAYED);
    }
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, screen.x, screen.y, 0, m_hWnd, nullptr);
}

void CImageListDlg::RemoveSelectedFiles()
{
    for (int row = m_fileList.GetNextItem(-1, LVNI_SELECTED); row != -1; row = m_fileList.GetNextItem(-1, LVNI_SELECTED)) {
        ForgetRow(row);
        m_fileList.DeleteItem(row);
    }
    RenumberRows();
    UpdateMakeVideoButton();
}

void CImageListDlg::RemoveAllFiles()
{
    m_fileList.DeleteAllItems();
    m_rowKeys.clear();
    UpdateMakeVideoButton();
}
