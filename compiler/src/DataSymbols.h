// Data symbols: constants, array and string constants, references and variables.
#pragma once

#include <string>
#include <vector>

#include "Types.h"

namespace vexa::vx2 {

enum StorageClass : int { STORAGE_CONSTANT = 0, STORAGE_GLOBAL = 1, STORAGE_LOCAL = 2 };

class Data : public Identified {
 public:
  virtual const Type* type() const = 0;
  virtual int size() const = 0;
  void print(std::ostream& out) const override;

  int storage = STORAGE_CONSTANT;
  int address = 0;
  bool array = false;
  int count = 0;
};

using DataPtr = std::shared_ptr<Data>;

class Constant : public Data {
 public:
  explicit Constant(double value) : value(value), kind_(smallestNumericKind(value)) {}
  const Type* type() const override { return NumericType::builtin(kind_).get(); }
  int size() const override { return type()->size(); }
  int numericKind() const { return kind_; }
  const Constant* asConstant() const override { return this; }
  const double value;

 private:
  int kind_;
};

class ArrayConstant : public Data {
 public:
  ArrayConstant() { array = true; }
  void addElement(double value);
  const Type* type() const override { return NumericType::builtin(kind_).get(); }
  int size() const override { return type()->size() * count; }
  int numericKind() const { return kind_; }
  std::vector<double> values;

 private:
  int kind_ = NUM_INT;
};

class StringConstant : public Data {
 public:
  explicit StringConstant(std::string text) : text(std::move(text)) {}
  const Type* type() const override { return StringType::builtin().get(); }
  int size() const override { return static_cast<int>(text.size()); }
  const std::string text;
};

class StringArrayConstant : public Data {
 public:
  StringArrayConstant() { array = true; }
  void addText(std::string text);
  const Type* type() const override { return StringType::builtin().get(); }
  int size() const override { return size_; }
  std::vector<std::string> texts;

 private:
  int size_ = 0;
};

// A by-reference parameter slot: a 16-bit address on the caller's side.
class Reference : public Data {
 public:
  Reference(TypePtr type, bool isArray) : referenced(std::move(type)) {
    storage = STORAGE_LOCAL;
    array = isArray;
  }
  const Type* type() const override { return referenced.get(); }
  int size() const override { return 2; }
  TypePtr referenced;
};

class Variable : public Data {
 public:
  Variable(TypePtr type, int storageClass, bool isArray, int elementCount,
           std::shared_ptr<Reference> link)
      : varType(std::move(type)), linked(std::move(link)) {
    storage = storageClass;
    array = isArray;
    count = elementCount;
  }
  const Type* type() const override { return varType.get(); }
  int size() const override { return (array ? count : 1) * varType->size(); }
  void markUsed() override;

  TypePtr varType;
  std::shared_ptr<Reference> linked;  // the parameter slot through which it is reached
};

}  // namespace vexa::vx2
