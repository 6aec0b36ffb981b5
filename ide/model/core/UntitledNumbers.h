#pragma once

// The numbers of untitled documents ("Unbenannt1", ...): the smallest free
// number is handed out, released numbers are used again.

#include <vector>

namespace vexa::ide {

class TUntitledNumbers {
 public:
  static constexpr int kGrowBy = 32;

  // The smallest n >= 1 not in use, now marked used; the set grows by
  // kGrowBy numbers when every number is in use.
  int Allocate();
  // Marks N free; a number outside 1..Size() is ignored.
  void Release(int N);
  bool InUse(int N) const;
  int Size() const { return int(used_.size()); }

 private:
  std::vector<bool> used_;  // bit n-1 for the number n
};

}  // namespace vexa::ide
