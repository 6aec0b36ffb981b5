#include "vexa/platform/HandleTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace vexa {
namespace {

// Counts its live instances, so a test sees what the table deleted.
struct Counted {
  explicit Counted(int& live, int id = 0) : live(live), id(id) { ++live; }
  ~Counted() { --live; }
  int& live;
  int id;
};

// Four slots, six generation bits: small enough to fill and to wear out.
using TinyTable = HandleTable<Counted, std::uint8_t, 2>;

TEST(HandleTable, ClosedHandleStaysInvalidWhenItsSlotIsReused) {
  int live = 0;
  HandleTable<Counted> table;
  const auto first = table.add(std::make_unique<Counted>(live, 1));
  ASSERT_NE(first, 0u);
  ASSERT_NE(table.find(first), nullptr);
  EXPECT_EQ(table.find(first)->id, 1);

  EXPECT_TRUE(table.remove(first));
  EXPECT_EQ(live, 0);
  EXPECT_EQ(table.find(first), nullptr);
  EXPECT_FALSE(table.remove(first));

  const auto second = table.add(std::make_unique<Counted>(live, 2));
  ASSERT_NE(second, 0u);
  EXPECT_EQ(second % decltype(table)::kSlots, first % decltype(table)::kSlots);  // same slot
  EXPECT_NE(second, first);
  EXPECT_EQ(table.find(first), nullptr);
  EXPECT_FALSE(table.remove(first));
  ASSERT_NE(table.find(second), nullptr);
  EXPECT_EQ(table.find(second)->id, 2);
}

TEST(HandleTable, MadeUpHandlesAreRefused) {
  int live = 0;
  HandleTable<Counted> table;
  const auto handle = table.add(std::make_unique<Counted>(live));
  constexpr auto kSlots = decltype(table)::kSlots;
  const std::uintptr_t madeUp[] = {
      0,
      handle + kSlots,  // the live slot, a later generation
      handle - kSlots,  // the live slot, generation 0
      handle + 1,       // a free slot
      handle ^ (std::uintptr_t{1} << (sizeof(std::uintptr_t) * 8 - 1)),
      ~std::uintptr_t{0},
  };
  for (std::uintptr_t h : madeUp) {
    EXPECT_EQ(table.find(h), nullptr) << h;
    EXPECT_FALSE(table.remove(h)) << h;
  }
  EXPECT_EQ(live, 1);
  EXPECT_NE(table.find(handle), nullptr);
}

TEST(HandleTable, FullTableRefusesAndDeletesTheObject) {
  int live = 0;
  TinyTable table;
  std::set<std::uint8_t> handles;
  for (std::size_t i = 0; i < TinyTable::kSlots; ++i)
    handles.insert(table.add(std::make_unique<Counted>(live)));
  EXPECT_EQ(handles.size(), TinyTable::kSlots);
  EXPECT_EQ(handles.count(0), 0u);
  EXPECT_EQ(table.add(std::make_unique<Counted>(live)), 0);
  EXPECT_EQ(live, static_cast<int>(TinyTable::kSlots));
  EXPECT_EQ(table.add(nullptr), 0);

  ASSERT_TRUE(table.remove(*handles.begin()));
  EXPECT_NE(table.add(std::make_unique<Counted>(live)), 0);
}

TEST(HandleTable, WornOutSlotsAreRetiredInsteadOfWrapping) {
  int live = 0;
  TinyTable table;
  std::vector<std::uint8_t> given;
  for (;;) {
    const auto h = table.add(std::make_unique<Counted>(live));
    if (h == 0) break;
    given.push_back(h);
    ASSERT_TRUE(table.remove(h));
    ASSERT_LE(given.size(), 256u);
  }
  // Every generation of every slot was used exactly once.
  EXPECT_EQ(given.size(), TinyTable::kSlots * TinyTable::kMaxGeneration);
  EXPECT_EQ(std::set<std::uint8_t>(given.begin(), given.end()).size(), given.size());
  for (std::uint8_t h : given) EXPECT_EQ(table.find(h), nullptr) << int{h};
  EXPECT_EQ(live, 0);
}

TEST(HandleTable, ClearAndDestructionDeleteTheLiveObjects) {
  int live = 0;
  std::uint8_t kept = 0;
  {
    TinyTable table;
    const auto a = table.add(std::make_unique<Counted>(live));
    const auto b = table.add(std::make_unique<Counted>(live));
    table.clear();
    EXPECT_EQ(live, 0);
    EXPECT_EQ(table.find(a), nullptr);
    EXPECT_EQ(table.find(b), nullptr);
    kept = table.add(std::make_unique<Counted>(live));
    EXPECT_NE(kept, a);
    EXPECT_NE(kept, b);
    EXPECT_EQ(live, 1);
  }
  EXPECT_EQ(live, 0);
}

}  // namespace
}  // namespace vexa
