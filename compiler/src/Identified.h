// Root of the symbol family: every named thing of a V2 program.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

namespace vexa::vx2 {

class Scope;
class Constant;

// Symbol kinds.
enum Kind : int {
  KIND_NONE = -1,
  KIND_MODULE = 0,
  KIND_TYPE = 1,
  KIND_FIELD = 2,
  KIND_FUNCTION = 3,
  KIND_THREAD = 4,
  KIND_ANY_DATA = 5,
  KIND_VARIABLE = 6,
  KIND_CONSTANT = 7,
  KIND_ARRAY_CONSTANT = 8,
  KIND_STRING_CONSTANT = 9,
  KIND_STRING_ARRAY_CONSTANT = 10,
};

class Virtual {
 public:
  virtual ~Virtual() = default;
  virtual void print(std::ostream&) const {}
};

class Identified : public Virtual, public std::enable_shared_from_this<Identified> {
 public:
  static constexpr uint16_t FLAG_USED = 1;
  static constexpr uint16_t FLAG_HIDDEN = 2;

  void print(std::ostream& out) const override;
  virtual void markUsed() { flags |= FLAG_USED; }

  // Called when the scope node that owns the symbol goes away: the symbol may still be
  // referenced from other code, but it is no longer part of the program.
  virtual void detach();
  bool detached() const { return detached_; }

  // The numeric constant this symbol is, if it is one (cheaper than a cast on hot paths).
  virtual const Constant* asConstant() const { return nullptr; }

  bool used() const { return flags & FLAG_USED; }
  bool hiddenFromCompletions() const { return flags & FLAG_HIDDEN; }
  std::string fullName() const;

  int kind = KIND_NONE;
  Scope* node = nullptr;
  int line = 0;
  uint16_t flags = 0;

 private:
  bool detached_ = false;
};

using SymbolPtr = std::shared_ptr<Identified>;

}  // namespace vexa::vx2
