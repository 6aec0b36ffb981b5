#include "Types.h"

#include <cmath>

#include "vexa/conversions.h"

namespace vexa::vx2 {

int NumericType::size() const {
  static constexpr int kSizes[4] = {1, 2, 4, 8};
  return kSizes[numericKind & 3];
}

const TypePtr& NumericType::builtin(int kind) {
  static const TypePtr kTypes[4] = {
      std::make_shared<NumericType>(0), std::make_shared<NumericType>(1),
      std::make_shared<NumericType>(2), std::make_shared<NumericType>(3)};
  return kTypes[kind & 3];
}

const TypePtr& StringType::builtin() {
  static const TypePtr kType = std::make_shared<StringType>();
  return kType;
}

std::shared_ptr<Field> UserType::addField(TypePtr type, int count) {
  int fieldSize = type->size();
  if (fieldSize > 1) size_ = (size_ + 1) & ~1;
  auto field = std::make_shared<Field>(std::move(type), size_, count);
  size_ += (count ? count : 1) * fieldSize;
  fields_.push_back(field);
  return field;
}

void UserType::detach() {
  Type::detach();
  fields_.clear();
}

int numericKindOf(const Type* type) {
  for (int k = 0; k < 4; ++k)
    if (type == NumericType::builtin(k).get()) return k;
  return -1;
}

bool isNumeric(const Type* type) { return numericKindOf(type) >= 0; }
bool isStringType(const Type* type) { return type == StringType::builtin().get(); }

int smallestNumericKind(double value) {
  if (value == std::trunc(value)) {
    if (value >= 0 && value <= 255) return NUM_BYTE;
    if (value >= -32768 && value <= 32767) return NUM_INT;
    if (vexa::vm::isInt32(value)) return NUM_LONG;
  }
  return NUM_FLOAT;
}

const TypePtr& smallestNumericType(double value) {
  return NumericType::builtin(smallestNumericKind(value));
}

}  // namespace vexa::vx2
