// A click on a column heading sorts the rows by that column, as Explorer does: ascending
// first, reversed at the next click, the heading's arrow showing which.
#include "filelist/ImageListDlg.h"

#include <algorithm>

namespace {

// The view's sort compares rows by the rank their data has in the order worked out before;
// every row's data is in the map.
int CALLBACK CompareRanks(LPARAM a, LPARAM b, LPARAM ranks)
{
    const auto& rank = *reinterpret_cast<const std::unordered_map<LPARAM, int>*>(ranks);
    return rank.find(a)->second - rank.find(b)->second;
}

} // namespace

void CImageListDlg::OnColumnClick(int column)
{
    if (column < COLUMN_NUMBER || column > COLUMN_FILE_PATH)
        return;
    bool ascending = column != m_sortColumn || !m_sortAscending;
    SortRows(static_cast<RowColumn>(column), ascending);
    ShowSortArrow(column, ascending);
}

void CImageListDlg::SortRows(RowColumn column, bool ascending)
{
    int count = m_fileList.GetItemCount();
    std::vector<SortableRow> rows(count);
    std::vector<LPARAM> data(count);
    for (int row = 0; row < count; ++row) {
        data[row] = m_fileList.GetItemData(row);
        rows[row].added = static_cast<uint64_t>(data[row]);
        if (column == COLUMN_DATE_TAKEN)
            rows[row].taken = m_rowKeys[rows[row].added].taken;
        else if (column == COLUMN_CREATED_TIME)
            rows[row].created = m_rowKeys[rows[row].added].created;
        else if (column != COLUMN_NUMBER)
            rows[row].cell = m_fileList.GetItemText(row, column);
    }
    std::vector<int> order = SortedRowOrder(column, rows, ascending);
    std::unordered_map<LPARAM, int> ranks;
    ranks.reserve(count);
    for (int rank = 0; rank < count; ++rank)
        ranks[data[order[rank]]] = rank;
    m_fileList.SortItems(CompareRanks, reinterpret_cast<LPARAM>(&ranks));
    RenumberRows();
}

void CImageListDlg::ShowSortArrow(int column, bool ascending)
{
    m_sortColumn = column;
    m_sortAscending = ascending;
    HWND header = m_fileList.GetHeaderCtrl();
    int columns = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < columns; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        ::SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column)
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        ::SendMessageA(header, HDM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

void CImageListDlg::ForgetRow(int row)
{
    m_rowKeys.erase(static_cast<uint64_t>(m_fileList.GetItemData(row)));
}
