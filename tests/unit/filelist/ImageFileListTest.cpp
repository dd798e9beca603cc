#include "filelist/ImageFileList.h"
#include "filelist/RowOrder.h"

#include <gtest/gtest.h>

#include <tuple>

// Records are named by their place in the list; equal times come out in reverse order.
TEST(SortImageFilesByTime, AscendingWithEqualTimesReversed)
{
    const std::pair<std::vector<int64_t>, std::string> cases[] = {
        {{5, 7, 5}, "2 0 1 "},
        {{100, 100, 100}, "2 1 0 "},
        {{3, 1, 3, 1, 2, 3}, "3 1 4 5 2 0 "},
        {{1700000000, 0, int64_t{1} << 32, -5}, "3 1 0 2 "},
    };
    for (const auto& [times, expected] : cases) {
        ImageFileList list;
        for (size_t i = 0; i < times.size(); ++i)
            list.Add({times[i], "JPG", std::to_string(i), "C:\\photos\\" + std::to_string(i)});
        SortImageFilesByTime(list);
        std::string names;
        for (int i = 0; i < list.GetCount(); ++i)
            names += list.GetAt(i).fileName + " ";
        EXPECT_EQ(names, expected);
    }
}

// Four rows, each column's cells side by side; the order is of their places as added.
TEST(SortedRowOrder, EachColumnSortsByWhatItShowsTiesInTheOrderAdded)
{
    const std::vector<std::vector<std::string>> cells = {
        {"", "IMG_10.jpg", "PNG", "8 X 6", "03/07/2012 09:05:00", "", "C:\\p\\IMG_10.jpg"},
        {"", "img_2.jpg", "BMP", "20 X 10", "03/07/2012 10:05:00", "", "C:\\p\\img_2.jpg"},
        {"", "IMG_3.jpg", "JPG", "4 X 4", "12/31/2011 23:00:00", "", "C:\\p\\IMG_3.jpg"},
        {"", "a.jpg", "JPG", "0 X 0", "", "", "C:\\a.jpg"},
    };
    const TakenOrder taken[] = {{false, 5000}, {true, 2000}, {true, 1000}, {false, 100}};
    const std::tuple<RowColumn, bool, std::vector<int>> cases[] = {
        {COLUMN_NUMBER, true, {0, 1, 2, 3}},         {COLUMN_FILE_NAME, true, {3, 1, 2, 0}},
        {COLUMN_TYPE, true, {1, 2, 3, 0}},           {COLUMN_TYPE, false, {0, 3, 2, 1}},
        {COLUMN_DIMENSIONS, true, {3, 2, 0, 1}},     {COLUMN_CREATED_TIME, true, {3, 2, 0, 1}},
        {COLUMN_DATE_TAKEN, true, {2, 1, 3, 0}},     {COLUMN_DATE_TAKEN, false, {0, 3, 1, 2}},
        {COLUMN_FILE_PATH, true, {3, 1, 2, 0}},
    };
    for (const auto& [column, ascending, expected] : cases) {
        std::vector<SortableRow> rows(cells.size());
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = {cells[i][column], i, taken[i]};
        EXPECT_EQ(SortedRowOrder(column, rows, ascending), expected) << column << ascending;
    }
}
