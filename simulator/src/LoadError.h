#pragma once

#include <stdexcept>

namespace vexa::vx2sim {

// A .dbg file that cannot be loaded.
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vexa::vx2sim
