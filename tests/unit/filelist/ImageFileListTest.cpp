#include "filelist/ImageFileList.h"
#include "tests/fixtures/InsertionSort.h"

#include <gtest/gtest.h>

#include <random>

namespace {

ImageFileInfo Record(int64_t time, const std::string& name)
{
    ImageFileInfo record;
    record.createdTime = time;
    record.typeText = "JPG";
    record.fileName = name;
    record.filePath = "C:\\photos\\" + name;
    return record;
}

std::vector<std::string> Names(const ImageFileList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.GetCount(); ++i)
        names.push_back(list.GetAt(i).fileName);
    return names;
}

} // namespace

TEST(ImageFileList, AddInsertRemoveKeepOrder)
{
    ImageFileList list;
    EXPECT_EQ(list.Add(Record(1, "a")), 0);
    EXPECT_EQ(list.Add(Record(2, "c")), 1);
    list.InsertAt(1, Record(3, "b"));
    list.InsertAt(3, Record(4, "d"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    list.RemoveAt(0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"b", "c", "d"}));
    ImageFileInfo copy = list.GetAt(0);
    copy.fileName = "changed";
    EXPECT_EQ(list.GetAt(0).fileName, "b");
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(SortImageFilesByTime, AscendingWithEqualTimesReversed)
{
    ImageFileList list;
    list.Add(Record(5, "R1"));
    list.Add(Record(7, "R2"));
    list.Add(Record(5, "R3"));
    SortImageFilesByTime(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"R3", "R1", "R2"}));

    ImageFileList equal;
    for (const char* name : {"R1", "R2", "R3"})
        equal.Add(Record(100, name));
    SortImageFilesByTime(equal);
    EXPECT_EQ(Names(equal), (std::vector<std::string>{"R3", "R2", "R1"}));
}

TEST(SortImageFilesByTime, EmptyOneAndUnparsedKeysFirst)
{
    ImageFileList empty;
    SortImageFilesByTime(empty);
    EXPECT_EQ(empty.GetCount(), 0);
    ImageFileList list;
    list.Add(Record(1700000000, "dated"));
    list.Add(Record(0, "undated"));
    list.Add(Record(int64_t{1} << 32, "after2038"));
    list.Add(Record(-5, "before1970"));
    SortImageFilesByTime(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"before1970", "undated", "dated", "after2038"}));
}

TEST(SortImageFilesByTime, MatchesTheInsertionMethodOnRandomListsWithManyTies)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        int count = static_cast<int>(random() % 120);
        int distinct = 1 + static_cast<int>(random() % 8);
        ImageFileList sorted, expected;
        for (int i = 0; i < count; ++i) {
            ImageFileInfo r = Record(static_cast<int64_t>(random() % distinct) * 4000000000LL - 3, std::to_string(i));
            sorted.Add(r);
            expected.Add(r);
        }
        SortImageFilesByTime(sorted);
        fixtures::InsertionSortByTime(expected);
        ASSERT_EQ(Names(sorted), Names(expected)) << "round " << round;
    }
}
