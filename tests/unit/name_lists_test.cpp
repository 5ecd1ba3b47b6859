// Packed name lists: finding a name and the name at a position, at both
// ends of a list and past them.
#include <gtest/gtest.h>

#include "system/name_lists.h"

namespace {

const char LIST[] = "LEFT\0RIGHT\0TOP\0";

TEST(NameLists, EachNameIsFoundAtItsPosition) {
  EXPECT_EQ(0, nameListIndex(LIST, "LEFT"));
  EXPECT_EQ(1, nameListIndex(LIST, "RIGHT"));
  EXPECT_EQ(2, nameListIndex(LIST, "TOP"));
  EXPECT_STREQ("LEFT", nameListAt(LIST, 0));
  EXPECT_STREQ("TOP", nameListAt(LIST, 2));
}

// Exact and whole: no other case, no prefix, no empty name, which would
// otherwise meet the empty name that ends the list.
TEST(NameLists, OnlyAWholeExactNameIsFound) {
  EXPECT_EQ(-1, nameListIndex(LIST, "left"));
  EXPECT_EQ(-1, nameListIndex(LIST, "RIGH"));
  EXPECT_EQ(-1, nameListIndex(LIST, "RIGHTS"));
  EXPECT_EQ(-1, nameListIndex(LIST, ""));
  EXPECT_EQ(-1, nameListIndex(LIST, nullptr));
  EXPECT_EQ(-1, nameListIndex(nullptr, "LEFT"));
  EXPECT_EQ(-1, nameListIndex("", "LEFT"));
}

TEST(NameLists, PositionsOutsideTheListHaveNoName) {
  EXPECT_EQ(nullptr, nameListAt(LIST, 3));
  EXPECT_EQ(nullptr, nameListAt(LIST, 100));
  EXPECT_EQ(nullptr, nameListAt(LIST, -1));
  EXPECT_EQ(nullptr, nameListAt("", 0));
}

}  // namespace
