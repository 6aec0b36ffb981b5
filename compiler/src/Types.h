// The V2 types: four numeric types, the string type and user types with fields.
#pragma once

#include <memory>
#include <vector>

#include "Identified.h"

namespace vexa::vx2 {

enum NumericKind : int { NUM_BYTE = 0, NUM_INT = 1, NUM_LONG = 2, NUM_FLOAT = 3 };
enum TypeCategory : int { CATEGORY_NUMERIC = 0, CATEGORY_STRING = 1, CATEGORY_USER = 2 };

class Type : public Identified {
 public:
  explicit Type(int category) : category(category) {}
  virtual int size() const = 0;
  const int category;
};

using TypePtr = std::shared_ptr<Type>;

class NumericType : public Type {
 public:
  explicit NumericType(int kind) : Type(CATEGORY_NUMERIC), numericKind(kind) {}
  int size() const override;
  const int numericKind;

  // The built-in type of a kind.
  static const TypePtr& builtin(int kind);
};

class StringType : public Type {
 public:
  static constexpr int MAX_LENGTH = 30;
  StringType() : Type(CATEGORY_STRING) {}
  int size() const override { return 32; }
  static const TypePtr& builtin();
};

class UserType;

class Field : public Identified {
 public:
  Field(TypePtr type, int offset, int count)
      : type(std::move(type)), offset(offset), count(count) {}
  TypePtr type;
  int offset;
  int count;
};

class UserType : public Type {
 public:
  UserType() : Type(CATEGORY_USER) {}
  int size() const override { return size_; }
  // Appends a field (aligned to even for types above one byte).
  std::shared_ptr<Field> addField(TypePtr type, int count);
  const std::vector<std::shared_ptr<Field>>& fields() const { return fields_; }
  void detach() override;

 private:
  int size_ = 0;
  std::vector<std::shared_ptr<Field>> fields_;
};

// The numeric kind of a type, or -1 when it is not one of the four built-in numeric types.
int numericKindOf(const Type* type);
bool isNumeric(const Type* type);
bool isStringType(const Type* type);

// The built-in numeric kind that fits a constant value.
int smallestNumericKind(double value);
const TypePtr& smallestNumericType(double value);

}  // namespace vexa::vx2
