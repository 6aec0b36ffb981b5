#include "model/core/LineNumberList.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace vexa::ide {
namespace {

std::vector<int> Lines(const TVexaLineNumberList& list) {
  std::vector<int> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

TVexaLineNumberList Make(std::initializer_list<int> lines) {
  TVexaLineNumberList list;
  for (int line : lines) list.Toggle(line);
  return list;
}

TEST(TVexaLineNumberList, EditsMoveAndDropLines) {
  using Op = std::function<void(TVexaLineNumberList&)>;
  struct Case {
    const char* name;
    std::initializer_list<int> initial;
    Op op;
    std::vector<int> expected;
  } const cases[] = {
      {"toggle inserts in order", {3, 10}, [](auto& l) { l.Toggle(5); }, {3, 5, 10}},
      {"toggle twice removes", {3, 10}, [](auto& l) { l.Toggle(5), l.Toggle(5); }, {3, 10}},
      {"toggle before all", {3, 10}, [](auto& l) { l.Toggle(1); }, {1, 3, 10}},
      {"toggle after all", {3, 10}, [](auto& l) { l.Toggle(11); }, {3, 10, 11}},
      {"toggle a listed line", {3, 10}, [](auto& l) { l.Toggle(3); }, {10}},
      {"insert at a line moves it",
       {3, 10, 20},
       [](auto& l) { l.LinesInserted(10, 2); },
       {3, 12, 22}},
      {"insert then delete",
       {3, 10, 20},
       [](auto& l) { l.LinesInserted(10, 2), l.LinesDeleted(11, 5); },
       {3, 17}},
      {"delete keeps the first line", {10}, [](auto& l) { l.LinesDeleted(10, 3); }, {10}},
      {"delete drops lines inside", {5, 11, 12, 13}, [](auto& l) { l.LinesDeleted(10, 4); }, {5}},
      {"line after the range lands on the first line",
       {11, 16},
       [](auto& l) { l.LinesDeleted(11, 5); },
       {11}},
      {"moved line meets a deleted one", {13, 18}, [](auto& l) { l.LinesDeleted(11, 5); }, {13}},
      {"several lines land", {11, 16, 20}, [](auto& l) { l.LinesDeleted(11, 5); }, {11, 15}},
      {"huge count does not wrap", {5, 100}, [](auto& l) { l.LinesDeleted(10, 0x7FFFFFF0); }, {5}},
  };
  for (const Case& c : cases) {
    TVexaLineNumberList list = Make(c.initial);
    c.op(list);
    EXPECT_EQ(Lines(list), c.expected) << c.name;
  }
}

TEST(TVexaLineNumberList, ContainsAndGet) {
  TVexaLineNumberList list = Make({3, 10, 20});
  for (int line : {3, 10, 20}) EXPECT_TRUE(list.Contains(line)) << line;
  for (int line : {-1, 0, 2, 4, 11, 21}) EXPECT_FALSE(list.Contains(line)) << line;
  EXPECT_EQ(list.Get(-1), -1);
  EXPECT_EQ(list.Get(3), -1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.Contains(3));
}

TEST(TLineShiftLog, RevertMovesLinesBackOntoTheFile) {
  TVexaLineNumberList list = Make({2, 4, 8, 20});
  TLineShiftLog log;
  auto shift = [&](bool inserted, int first, int count) {
    if (inserted) {
      list.LinesInserted(first, count);
      log.Inserted(first, count);
    } else {
      list.LinesDeleted(first, count);
      log.Deleted(first, count);
    }
  };
  shift(true, 3, 5);    // 2, 9, 13, 25
  list.Toggle(5);       // a line of the inserted ones
  shift(false, 10, 4);  // 13 goes: 2, 5, 9, 21
  shift(true, 30, 1);   // below every line: nothing moves
  EXPECT_EQ(Lines(list), (std::vector<int>{2, 5, 9, 21}));
  log.Revert(list);
  // The line on an inserted line goes; the deleted one (8 in the file) stays lost.
  EXPECT_EQ(Lines(list), (std::vector<int>{2, 4, 20}));
  // Forgotten after a revert.
  log.Revert(list);
  EXPECT_EQ(Lines(list), (std::vector<int>{2, 4, 20}));
}

TEST(TVexaLineNumberList, LinesRemovedDropsTheRangeAndMovesLaterLinesUp) {
  TVexaLineNumberList list = Make({4, 5, 7, 8, 30});
  list.LinesRemoved(5, 3);
  EXPECT_EQ(Lines(list), (std::vector<int>{4, 5, 27}));
  list.LinesRemoved(1, 0x7FFFFFF0);
  EXPECT_EQ(Lines(list), std::vector<int>{});
}

}  // namespace
}  // namespace vexa::ide
