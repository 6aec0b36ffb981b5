#include "Scope.h"

#include "Module.h"

namespace vexa::vx2 {

Scope::Scope(std::string name, SymbolPtr symbol, Scope* parent)
    : name(std::move(name)), symbol(std::move(symbol)), parent(parent) {}

Scope::~Scope() {
  removeChildren();
  if (symbol) symbol->detach();
}

Scope* Scope::findChild(std::string_view name) const {
  if (!index_.empty()) {
    auto it = index_.find(name);
    return it == index_.end() ? nullptr : it->second;
  }
  for (const auto& child : children_)
    if (child->name == name) return child.get();
  return nullptr;
}

Scope* Scope::lookup(Scope* start, std::string_view name) {
  if (!start) return nullptr;
  if (Scope* found = start->findChild(name)) return found;
  for (Scope* s = start->parent; s; s = s->parent)
    if (Scope* found = s->findVisibleChild(name)) return found;
  return nullptr;
}

Scope* Scope::addChild(const std::string& name, SymbolPtr symbol) {
  if (findChild(name)) return nullptr;
  children_.push_back(std::make_unique<Scope>(name, std::move(symbol), this));
  Scope* child = children_.back().get();
  if (!index_.empty()) {
    index_.emplace(child->name, child);
  } else if (children_.size() >= INDEX_FROM) {
    for (const auto& c : children_) index_.emplace(c->name, c.get());
  }
  return child;
}

void Scope::removeChild(std::string_view name) {
  for (auto it = children_.begin(); it != children_.end(); ++it) {
    if ((*it)->name == name) {
      index_.erase((*it)->name);
      children_.erase(it);
      return;
    }
  }
}

void Scope::removeChildren() {
  index_.clear();
  // Last first, so that later declarations never outlive what they were built on.
  while (!children_.empty()) children_.pop_back();
}

std::string Scope::fullName() const {
  if (!parent) return name;
  std::string prefix = parent->fullName();
  return prefix.empty() ? name : prefix + "." + name;
}

Scope* Module::scopeAtLine(int line) const {
  Scope* found = node;
  for (const auto& [markLine, scope] : scopeMarks) {
    if (markLine < line)
      found = scope;
    else
      break;
  }
  return found;
}

}  // namespace vexa::vx2
