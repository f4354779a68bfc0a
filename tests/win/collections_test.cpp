#include "win/collections.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Item {
    std::string name;
    int size = 0;
};

// Shaped like the callers' arrays: elements passed by value, a class derived from the array.
class ItemHolder : public CArray<Item, Item> {};

std::string Joined(const CStringArray& strings) {
    std::string out;
    for (INT_PTR i = 0; i < strings.GetSize(); ++i)
        out += strings[i] + ";";
    return out;
}

TEST(Collections, GrowInsertRemoveKeepOrder) {
    CStringArray list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetUpperBound(), -1);
    EXPECT_EQ(list.GetData(), nullptr);
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add(std::string("d")), 1);
    list.InsertAt(0, "a");
    list.InsertAt(2, "c");
    EXPECT_EQ(Joined(list), "a;b;c;d;");
    list.InsertAt(6, "g"); // beyond the end: grows with empty elements first
    EXPECT_EQ(Joined(list), "a;b;c;d;;;g;");
    list.RemoveAt(4, 2);
    list.SetAt(4, "e");
    EXPECT_EQ(Joined(list), "a;b;c;d;e;");
    list.InsertAt(1, list[4], 2); // an element of the array itself
    EXPECT_EQ(Joined(list), "a;e;e;b;c;d;e;");
    list.SetSize(2);
    EXPECT_EQ(Joined(list), "a;e;");
    list.SetAtGrow(3, "z");
    EXPECT_EQ(Joined(list), "a;e;;z;");
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(Collections, ArraysAreValuesAndCombine) {
    ItemHolder items;
    items.Add(Item{"Roof", 1});
    items.Add(Item{"Wall", 2});
    ItemHolder copy = items;
    copy.ElementAt(0).name = "Changed";
    EXPECT_EQ(items[0].name, "Roof") << "a copy owns its elements";

    CArray<int> numbers;
    numbers.Add(1);
    numbers.Add(2);
    CArray<int> more;
    more.Add(3);
    EXPECT_EQ(numbers.Append(more), 2);
    numbers.InsertAt(0, &numbers); // the array into itself
    ASSERT_EQ(numbers.GetSize(), 6);
    EXPECT_EQ(numbers.GetData()[0] * 100000 + numbers[1] * 10000 + numbers[2] * 1000 +
                  numbers[3] * 100 + numbers[4] * 10 + numbers[5],
              123123);
    more.Copy(numbers);
    EXPECT_EQ(more.GetSize(), 6);
    numbers.SetSize(8);
    EXPECT_EQ(numbers[7], 0) << "new elements are value-initialised";
}

#ifndef NDEBUG
TEST(CollectionsDeathTest, IndexOutOfRangeStops) {
    CStringArray list;
    list.Add("only");
    EXPECT_DEATH((void)list[1], "");
    EXPECT_DEATH(list.RemoveAt(0, 2), "");
}
#endif

} // namespace
