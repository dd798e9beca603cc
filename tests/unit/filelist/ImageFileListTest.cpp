#include "filelist/ImageFileList.h"

#include <gtest/gtest.h>

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
