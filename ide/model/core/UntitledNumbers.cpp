#include "model/core/UntitledNumbers.h"

namespace vexa::ide {

int TUntitledNumbers::Allocate() {
  for (std::size_t i = 0; i < used_.size(); ++i) {
    if (!used_[i]) {
      used_[i] = true;
      return int(i) + 1;
    }
  }
  const std::size_t first = used_.size();
  used_.resize(first + kGrowBy, false);
  used_[first] = true;
  return int(first) + 1;
}

void TUntitledNumbers::Release(int N) {
  if (N >= 1 && N <= Size()) used_[std::size_t(N - 1)] = false;
}

bool TUntitledNumbers::InUse(int N) const {
  return N >= 1 && N <= Size() && used_[std::size_t(N - 1)];
}

}  // namespace vexa::ide
