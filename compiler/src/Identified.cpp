#include "Identified.h"

#include "Scope.h"

namespace vexa::vx2 {

void Identified::print(std::ostream& out) const { out << fullName(); }

void Identified::detach() {
  detached_ = true;
  node = nullptr;
}

std::string Identified::fullName() const { return node ? node->fullName() : std::string(); }

}  // namespace vexa::vx2
