#include "DataSymbols.h"

#include "Scope.h"

namespace vexa::vx2 {

void Data::print(std::ostream& out) const { out << fullName() << "\t(" << address << ")"; }

void ArrayConstant::addElement(double value) {
  values.push_back(value);
  int k = smallestNumericKind(value);
  if (k > kind_) kind_ = k;
  count = static_cast<int>(values.size());
}

void StringArrayConstant::addText(std::string text) {
  size_ += static_cast<int>(text.size()) + 2;
  texts.push_back(std::move(text));
  count = static_cast<int>(texts.size());
}

void Variable::markUsed() {
  Identified::markUsed();
  // A field variable marks the variable that holds it.
  if (node && node->parent && node->parent->symbol) {
    if (auto* owner = dynamic_cast<Variable*>(node->parent->symbol.get())) owner->markUsed();
  }
}

}  // namespace vexa::vx2
