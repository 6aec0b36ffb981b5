// A procedure's code as (operation, operand) pairs, folding constant operands as they come.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Identified.h"

namespace vexa::vx2 {

enum Operation : int32_t {
  OP_CALL = 1,
  OP_RETURN = 2,
  OP_DROP_RESULT = 3,
  OP_LABEL = 4,
  OP_JUMP = 5,
  OP_JUMP_IF_FALSE = 6,
  OP_CONVERT = 7,
  OP_LOAD = 8,
  OP_PUSH_INT = 9,
  OP_PUSH_DOUBLE = 10,
  OP_ADDRESS = 11,
  OP_LOAD_INDIRECT = 12,
  OP_STORE = 15,
  OP_STORE_INDIRECT = 16,
  OP_PUT = 17,
  OP_NEG = 18,
  OP_NOT = 19,
  OP_ADD = 20,
  OP_SUB = 21,
  OP_MUL = 22,
  OP_DIV = 23,
  OP_MOD = 24,
  OP_EQUAL = 25,
  OP_NOT_EQUAL = 26,
  OP_GREATER = 27,
  OP_LESS = 28,
  OP_GREATER_EQUAL = 29,
  OP_LESS_EQUAL = 30,
  OP_AND = 31,
  OP_NAND = 32,
  OP_OR = 33,
  OP_NOR = 34,
  OP_XOR = 35,
  OP_SHL = 37,
  OP_SHR = 38,
  OP_STR_CLEAR = 42,
  OP_STR_APPEND_CHAR = 43,
  OP_STR_APPEND = 44,
  OP_STR_APPEND_TEXT = 45,
  OP_STR_APPEND_CONST = 46,
  OP_WORD = 48,
  OP_RUN = 49,
  OP_HALT = 50,
  OP_RESUME = 51,
  OP_RESET = 52,
  OP_SLEEP = 53,
  OP_CAPTURE = 54,
  OP_RELEASE = 55,
  OP_YIELD = 56,
  OP_QUIT = 57,
  OP_MARKER = 58,
};

// True for operations whose operand is a symbol of the pool.
bool hasSymbolOperand(int32_t op);

class IntermediateCodeSequence {
 public:
  struct Item {
    int32_t op;
    int32_t operand;
  };
  // No single constant where one was required.
  struct NO_CONST {};
  // A folded division or remainder by zero.
  struct DIVISION_BY_ZERO {};

  IntermediateCodeSequence();

  void appendFolded(int32_t op);
  void appendWithOperand(int32_t op, int32_t value) { items_.push_back({op, value}); }
  void appendSymbol(int32_t op, const SymbolPtr& symbol);
  void appendText(int32_t op, std::string text);
  void pushInt(int32_t value);
  void pushDouble(double value);
  void append(const IntermediateCodeSequence& other, bool keepMarkers);
  void clearTrailingConstants() { trailing_ = 0; }
  double constantValue() const;
  void recordSizes();
  void clear();

  void addStackNeed(int n) { stackTotal_ += n; }
  void raiseCalleeNeed(int n) {
    if (n > calleeMax_) calleeMax_ = n;
  }
  int stackNeed() const { return stackTotal_ + calleeMax_; }
  int frameSize = 0;

  size_t size() const { return items_.size(); }
  const Item& at(size_t i) const { return items_[i]; }
  const std::vector<Item>& items() const { return items_; }
  const SymbolPtr& symbolAt(int32_t index) const;
  double doubleAt(int32_t index) const { return doubles_.at(static_cast<size_t>(index)); }
  const std::string& textAt(int32_t index) const { return texts_.at(static_cast<size_t>(index)); }
  const std::vector<SymbolPtr>& symbols() const { return symbols_; }
  int trailingConstants() const { return trailing_; }
  void setTrailingConstants(int count) { trailing_ = count; }

 private:
  bool isConstantItem(const Item& item) const;
  double itemValue(const Item& item) const;
  void appendNumber(double value);

  std::vector<Item> items_;
  std::vector<double> doubles_;
  std::vector<std::string> texts_;
  std::vector<SymbolPtr> symbols_;
  int stackTotal_ = 0;
  int calleeMax_ = 0;
  int trailing_ = 0;
  size_t recordedItems_ = 0, recordedDoubles_ = 0, recordedTexts_ = 0;
  bool recorded_ = false;
};

}  // namespace vexa::vx2
