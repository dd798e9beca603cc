// The order a click on a column heading puts the rows in.
#pragma once

#include "filelist/RowText.h"

#include <cstdint>
#include <string>
#include <vector>

// What a row sorts by under "Date Taken": the capture time, or for a photo without one its
// file's last-write time (which copies keep), placed after every capture time.
struct TakenOrder {
    bool dated = false;
    int64_t milliseconds = 0;  // camera clock from year 1, or last write from 1970 UTC
    bool operator<(const TakenOrder& other) const
    {
        return dated != other.dated ? dated : milliseconds < other.milliseconds;
    }
};

// What a row sorts by that its cells do not show in full, kept beside the row.
struct RowKeys {
    TakenOrder taken;
    uint64_t created = 0;  // the file's whole creation time (FILETIME); 0: unknown
};

// One row as the sort sees it: the cell of the sorted column and what no cell shows.
struct SortableRow {
    std::string cell;
    uint64_t added = 0;  // rises with every row added
    TakenOrder taken;
    uint64_t created = 0;
};

// Positions of the rows in their new order: ascending by the column (names naturally, times
// by time, created times whole and unknown ones last as the video's sort has them, sizes by
// area, "No." by the order added), ties in the order added; descending is exactly that order
// reversed.
std::vector<int> SortedRowOrder(RowColumn column, const std::vector<SortableRow>& rows, bool ascending);
