#include "IntermediateCodeSequence.h"

#include "DataSymbols.h"
#include "vexa/conversions.h"

namespace vexa::vx2 {

using vexa::vm::floatToInt32;
using vexa::vm::isInt32;

bool hasSymbolOperand(int32_t op) {
  switch (op) {
    case OP_CALL:
    case OP_RETURN:
    case OP_DROP_RESULT:
    case OP_LOAD:
    case OP_ADDRESS:
    case OP_LOAD_INDIRECT:
    case OP_STORE:
    case OP_STORE_INDIRECT:
    case OP_PUT:
    case OP_STR_APPEND_CONST:
    case OP_RUN:
    case OP_HALT:
    case OP_RESUME:
    case OP_RESET: return true;
    default: return false;
  }
}

IntermediateCodeSequence::IntermediateCodeSequence() = default;

const SymbolPtr& IntermediateCodeSequence::symbolAt(int32_t index) const {
  static const SymbolPtr kNone;
  if (index < 0 || static_cast<size_t>(index) >= symbols_.size()) return kNone;
  return symbols_[index];
}

bool IntermediateCodeSequence::isConstantItem(const Item& item) const {
  if (item.op == OP_PUSH_INT || item.op == OP_PUSH_DOUBLE) return true;
  if (item.op != OP_LOAD) return false;
  const SymbolPtr& symbol = symbolAt(item.operand);
  return symbol && symbol->asConstant();
}

double IntermediateCodeSequence::itemValue(const Item& item) const {
  if (item.op == OP_PUSH_INT) return item.operand;
  if (item.op == OP_PUSH_DOUBLE) return doubles_[item.operand];
  return symbolAt(item.operand)->asConstant()->value;
}

void IntermediateCodeSequence::appendNumber(double value) {
  if (isInt32(value)) {
    items_.push_back({OP_PUSH_INT, floatToInt32(value)});
  } else {
    doubles_.push_back(value);
    items_.push_back({OP_PUSH_DOUBLE, static_cast<int32_t>(doubles_.size() - 1)});
  }
}

void IntermediateCodeSequence::appendFolded(int32_t op) {
  bool foldable = op >= OP_NEG && op <= 41;
  if (!foldable || trailing_ == 0 || items_.empty() || !isConstantItem(items_.back())) {
    trailing_ = 0;
    items_.push_back({op, 0});
    return;
  }
  if (op == OP_NEG || op == OP_NOT) {
    double c = itemValue(items_.back());
    items_.pop_back();
    if (op == OP_NEG) {
      if (isInt32(c)) {
        // 32-bit negation, so that -2147483648 stays the smallest long.
        items_.push_back(
            {OP_PUSH_INT, static_cast<int32_t>(0u - static_cast<uint32_t>(floatToInt32(c)))});
      } else {
        doubles_.push_back(-c);
        items_.push_back({OP_PUSH_DOUBLE, static_cast<int32_t>(doubles_.size() - 1)});
      }
    } else if (isInt32(c)) {
      items_.push_back({OP_PUSH_INT, c == 0 ? 1 : 0});
    } else {
      doubles_.push_back(static_cast<double>(~floatToInt32(c)));
      items_.push_back({OP_PUSH_DOUBLE, static_cast<int32_t>(doubles_.size() - 1)});
    }
    return;
  }
  if (trailing_ < 2 || items_.size() < 2 || !isConstantItem(items_[items_.size() - 2])) {
    trailing_ = 0;
    items_.push_back({op, 0});
    return;
  }
  double right = itemValue(items_.back());
  double left = itemValue(items_[items_.size() - 2]);
  int64_t l = floatToInt32(left), r = floatToInt32(right);
  uint32_t ul = static_cast<uint32_t>(l), ur = static_cast<uint32_t>(r);
  double result = 0;
  switch (op) {
    case OP_ADD: result = left + right; break;
    case OP_SUB: result = left - right; break;
    case OP_MUL: result = left * right; break;
    case OP_DIV:
      if (right == 0) throw DIVISION_BY_ZERO{};
      result = left / right;
      break;
    case OP_MOD:
      if (r == 0) throw DIVISION_BY_ZERO{};
      result = static_cast<double>(l % r);
      break;
    case OP_EQUAL: result = left == right ? -1 : 0; break;
    case OP_NOT_EQUAL: result = left != right ? -1 : 0; break;
    case OP_GREATER: result = left > right ? -1 : 0; break;
    case OP_LESS: result = left < right ? -1 : 0; break;
    case OP_GREATER_EQUAL: result = left >= right ? -1 : 0; break;
    case OP_LESS_EQUAL: result = left <= right ? -1 : 0; break;
    case OP_AND: result = ul & ur; break;
    case OP_NAND: result = (ul & ur) == 0 ? 1 : 0; break;
    case OP_OR: result = ul | ur; break;
    case OP_NOR: result = (l == 0 && r == 0) ? 1 : 0; break;
    case OP_XOR: result = ul ^ ur; break;
    case OP_SHL: result = static_cast<uint32_t>(ul << (ur & 31)); break;
    case OP_SHR: result = ul >> (ur & 31); break;
    default:  // never emitted: leave the operands alone
      trailing_ = 0;
      items_.push_back({op, 0});
      return;
  }
  items_.pop_back();
  items_.pop_back();
  --trailing_;
  appendNumber(result);
}

void IntermediateCodeSequence::appendSymbol(int32_t op, const SymbolPtr& symbol) {
  if (op == OP_LOAD && symbol && symbol->asConstant()) {
    ++trailing_;
  } else {
    trailing_ = 0;
  }
  if (op == OP_RETURN && !items_.empty() && items_.back().op == OP_RETURN) return;
  if (op == OP_LOAD && !items_.empty() && items_.back().op == OP_STORE && symbol &&
      symbolAt(items_.back().operand) == symbol) {
    const auto* variable = dynamic_cast<const Variable*>(symbol.get());
    if (variable && !variable->linked) {
      items_.back().op = OP_PUT;
      return;
    }
  }
  int32_t index = -1;
  if (symbol) {
    symbols_.push_back(symbol);
    index = static_cast<int32_t>(symbols_.size() - 1);
  }
  items_.push_back({op, index});
}

void IntermediateCodeSequence::appendText(int32_t op, std::string text) {
  texts_.push_back(std::move(text));
  items_.push_back({op, static_cast<int32_t>(texts_.size() - 1)});
}

void IntermediateCodeSequence::pushInt(int32_t value) {
  items_.push_back({OP_PUSH_INT, value});
  ++trailing_;
}

void IntermediateCodeSequence::pushDouble(double value) {
  doubles_.push_back(value);
  items_.push_back({OP_PUSH_DOUBLE, static_cast<int32_t>(doubles_.size() - 1)});
  ++trailing_;
}

void IntermediateCodeSequence::append(const IntermediateCodeSequence& other, bool keepMarkers) {
  for (const Item& item : other.items_) {
    if (item.op == OP_MARKER && !keepMarkers) continue;
    if (item.op == OP_PUSH_DOUBLE) {
      doubles_.push_back(other.doubles_[item.operand]);
      items_.push_back({item.op, static_cast<int32_t>(doubles_.size() - 1)});
    } else if (item.op == OP_STR_APPEND_TEXT) {
      texts_.push_back(other.texts_[item.operand]);
      items_.push_back({item.op, static_cast<int32_t>(texts_.size() - 1)});
    } else if (hasSymbolOperand(item.op) && item.operand >= 0) {
      symbols_.push_back(other.symbols_[item.operand]);
      items_.push_back({item.op, static_cast<int32_t>(symbols_.size() - 1)});
    } else {
      items_.push_back(item);
    }
  }
}

double IntermediateCodeSequence::constantValue() const {
  if (items_.empty() || !isConstantItem(items_.back())) throw NO_CONST{};
  return itemValue(items_.back());
}

void IntermediateCodeSequence::recordSizes() {
  if (recorded_) return;
  recorded_ = true;
  recordedItems_ = items_.size();
  recordedDoubles_ = doubles_.size();
  recordedTexts_ = texts_.size();
}

void IntermediateCodeSequence::clear() {
  items_.clear();
  doubles_.clear();
  texts_.clear();
  symbols_.clear();
  trailing_ = 0;
}

}  // namespace vexa::vx2
