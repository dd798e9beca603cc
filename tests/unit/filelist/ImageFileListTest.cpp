#include "filelist/ImageFileList.h"
#include "filelist/RowOrder.h"
#include "filelist/RowText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <tuple>

namespace {

// FILETIME of a time in seconds since 1970 UTC.
uint64_t FileTime(int64_t seconds)
{
    return static_cast<uint64_t>(seconds + 11644473600LL) * 10000000;
}

// The records' places in the list after the sort. Each carries its time as a row gives it:
// whole, and read back from the local-time cell, whose seconds the sort must not go by.
std::string SortedPlaces(const std::vector<uint64_t>& times)
{
    ImageFileList list;
    for (size_t i = 0; i < times.size(); ++i) {
        int64_t seconds = static_cast<int64_t>(times[i] / 10000000) - 11644473600LL;
        std::string name = std::to_string(i);
        list.Add({ParseCreatedTime(FormatCreatedTime(seconds)), "JPG", name, "C:\\photos\\" + name, times[i]});
    }
    SortImageFilesByTime(list);
    std::string places;
    for (int i = 0; i < list.GetCount(); ++i)
        places += list.GetAt(i).fileName + " ";
    return places;
}

} // namespace

// Records are named by their place in the list. Photos of one second keep the order they were
// made in, equal times the list's order, and times that could not be read (0) come last.
TEST(SortImageFilesByTime, WholeCreationTimeTiesInListOrderUnknownLast)
{
    // US rules, the only ones the C library of Windows takes from TZ: on 3 November 2024 the
    // clock shows 01:00 to 01:59 twice.
    putenv(const_cast<char*>("TZ=EST5EDT"));
    tzset();
    const uint64_t second = FileTime(1700000000);
    const uint64_t summer0130 = FileTime(1730611800), winter0110 = FileTime(1730614200);
    const std::pair<std::vector<uint64_t>, std::string> cases[] = {
        {{5, 7, 5}, "0 2 1 "},
        {{100, 100, 100}, "0 1 2 "},
        {{3, 1, 3, 1, 2, 3}, "1 3 4 0 2 5 "},
        {{0, 7, 0, 5}, "3 1 0 2 "},
        {{second + 9999999, second + 1, second, second + 1}, "2 1 3 0 "},
        {{FileTime(int64_t{1} << 32), FileTime(-5), second}, "1 2 0 "},
        // 01:10 of winter time comes forty minutes after 01:30 of summer time.
        {{winter0110, summer0130}, "1 0 "},
        {{}, ""},
    };
    for (const auto& [times, expected] : cases)
        EXPECT_EQ(SortedPlaces(times), expected);
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
    // Created times run whole, beside the cells; the last one could not be read.
    const uint64_t created[] = {20, 30, 10, 0};
    const std::tuple<RowColumn, bool, std::vector<int>> cases[] = {
        {COLUMN_NUMBER, true, {0, 1, 2, 3}},         {COLUMN_FILE_NAME, true, {3, 1, 2, 0}},
        {COLUMN_TYPE, true, {1, 2, 3, 0}},           {COLUMN_TYPE, false, {0, 3, 2, 1}},
        {COLUMN_DIMENSIONS, true, {3, 2, 0, 1}},     {COLUMN_CREATED_TIME, true, {2, 0, 1, 3}},
        {COLUMN_CREATED_TIME, false, {3, 1, 0, 2}},
        {COLUMN_DATE_TAKEN, true, {2, 1, 3, 0}},     {COLUMN_DATE_TAKEN, false, {0, 3, 1, 2}},
        {COLUMN_FILE_PATH, true, {3, 1, 2, 0}},
    };
    for (const auto& [column, ascending, expected] : cases) {
        std::vector<SortableRow> rows(cells.size());
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = {cells[i][column], i, taken[i], created[i]};
        EXPECT_EQ(SortedRowOrder(column, rows, ascending), expected) << column << ascending;
    }
}
