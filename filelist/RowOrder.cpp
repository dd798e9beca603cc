#include "filelist/RowOrder.h"

#include "filelist/FolderImages.h"
#include "filelist/ImageFileList.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace {

int64_t Area(const std::string& dimensions)
{
    int width = 0, height = 0;
    if (std::sscanf(dimensions.c_str(), "%d X %d", &width, &height) != 2)
        return 0;
    return static_cast<int64_t>(width) * height;
}

// A number per row for the columns that sort by one; texts compare as they are.
std::vector<int64_t> NumericKeys(RowColumn column, const std::vector<SortableRow>& rows)
{
    std::vector<int64_t> keys(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        keys[i] = column == COLUMN_DIMENSIONS ? Area(rows[i].cell) : static_cast<int64_t>(rows[i].added);
    return keys;
}

} // namespace

std::vector<int> SortedRowOrder(RowColumn column, const std::vector<SortableRow>& rows, bool ascending)
{
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<int64_t> keys = NumericKeys(column, rows);
    auto before = [&](int a, int b) {
        const SortableRow& x = rows[a];
        const SortableRow& y = rows[b];
        switch (column) {
        case COLUMN_FILE_NAME:
        case COLUMN_FILE_PATH:
            if (NaturalLess(x.cell, y.cell) || NaturalLess(y.cell, x.cell))
                return NaturalLess(x.cell, y.cell);
            break;
        case COLUMN_TYPE:
            if (x.cell != y.cell)
                return x.cell < y.cell;
            break;
        case COLUMN_CREATED_TIME:
            if (CreatedBefore(x.created, y.created) || CreatedBefore(y.created, x.created))
                return CreatedBefore(x.created, y.created);
            break;
        case COLUMN_DATE_TAKEN:
            if (x.taken < y.taken || y.taken < x.taken)
                return x.taken < y.taken;
            break;
        default:
            if (keys[a] != keys[b])
                return keys[a] < keys[b];
            break;
        }
        return x.added < y.added;
    };
    std::sort(order.begin(), order.end(), before);
    if (!ascending)
        std::reverse(order.begin(), order.end());
    return order;
}
