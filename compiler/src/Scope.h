// A node of the scope tree: a name, the symbol it owns and its children.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Identified.h"

namespace vexa::vx2 {

class Scope {
 public:
  Scope(std::string name, SymbolPtr symbol, Scope* parent);
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

  Scope* findChild(std::string_view name) const;
  Scope* findVisibleChild(std::string_view name) const {
    return hidden ? nullptr : findChild(name);
  }
  // The start node's own children, then the visible children of each ancestor.
  static Scope* lookup(Scope* start, std::string_view name);
  // Null when the name is taken (the symbol is then dropped).
  Scope* addChild(const std::string& name, SymbolPtr symbol);
  void removeChild(std::string_view name);
  void removeChildren();
  std::string fullName() const;

  const std::vector<std::unique_ptr<Scope>>& children() const { return children_; }

  const std::string name;
  SymbolPtr symbol;
  Scope* parent;
  bool hidden = false;

 private:
  static constexpr size_t INDEX_FROM = 12;
  std::vector<std::unique_ptr<Scope>> children_;
  std::unordered_map<std::string_view, Scope*> index_;  // built for larger scopes only
};

}  // namespace vexa::vx2
