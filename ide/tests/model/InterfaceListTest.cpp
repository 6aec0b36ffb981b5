#include "model/core/InterfaceList.h"

#include <gtest/gtest.h>

#include <memory>

namespace vexa::ide {
namespace {

struct IThing {
  virtual ~IThing() = default;
};
struct Thing : IThing {};

using List = TVexaInterfaceList<IThing>;

std::shared_ptr<IThing> Make() { return std::make_shared<Thing>(); }

TEST(TVexaInterfaceList, AddKeepsOneEntryPerReferenceAndRefusesNil) {
  List list;
  auto x = Make(), y = Make();
  EXPECT_EQ(list.Add(x), 0);
  EXPECT_EQ(list.Add(y), 1);
  EXPECT_EQ(list.Add(x), 0);
  EXPECT_EQ(list.Add(nullptr), -1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(0), x);
  EXPECT_EQ(list.Get(1), y);
  EXPECT_EQ(list.IndexOf(Make()), -1);
  EXPECT_EQ(list.IndexOf(nullptr), -1);
}

TEST(TVexaInterfaceList, IndexesOutsideTheListAreHarmless) {
  List list;
  auto x = Make(), y = Make();
  list.Add(x);
  list.Add(y);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Get(list.Count()), nullptr);
  list.Delete(list.Count());
  list.Delete(-1);
  list.Move(0, 2);
  list.Move(-1, 1);
  list.Remove(Make());
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(0), x);
  EXPECT_EQ(list.Get(1), y);
}

TEST(TVexaInterfaceList, MoveTakesTheEntryOutAndPutsItBackAtTheTarget) {
  struct Case {
    int from, to;
    const char* expected;
  } const cases[] = {
      {0, 2, "YZX"}, {2, 0, "ZXY"}, {1, 1, "XYZ"}, {0, 1, "YXZ"}, {2, 1, "XZY"},
  };
  for (const Case& c : cases) {
    List list;
    auto x = Make(), y = Make(), z = Make();
    list.Add(x);
    list.Add(y);
    list.Add(z);
    list.Move(c.from, c.to);
    std::string order;
    for (int i = 0; i < list.Count(); ++i)
      order += list.Get(i) == x ? 'X' : list.Get(i) == y ? 'Y' : 'Z';
    EXPECT_EQ(order, c.expected) << "Move(" << c.from << ", " << c.to << ")";
  }
}

TEST(TVexaInterfaceList, EntriesHoldTheirReferenceUntilTheyLeave) {
  std::weak_ptr<IThing> removed, deleted, cleared, destroyed;
  {
    List list;
    {
      auto a = Make(), b = Make(), c = Make(), d = Make();
      removed = a, deleted = b, cleared = c;
      list.Add(a);
      list.Add(b);
      list.Add(c);
      List other;
      other.Add(d);
      destroyed = d;
    }
    EXPECT_FALSE(removed.expired());
    EXPECT_TRUE(destroyed.expired());
    list.Remove(removed.lock());
    EXPECT_TRUE(removed.expired());
    list.Delete(0);
    EXPECT_TRUE(deleted.expired());
    EXPECT_FALSE(cleared.expired());
    list.Clear();
    EXPECT_TRUE(cleared.expired());
    EXPECT_EQ(list.Count(), 0);
  }
}

}  // namespace
}  // namespace vexa::ide
