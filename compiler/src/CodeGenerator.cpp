#include "CodeGenerator.h"

#include <cstring>
#include <stdexcept>

#include "Procedure.h"
#include "vexa/conversions.h"
#include "vexa/isa.h"

namespace vexa::vx2 {

using vexa::isa::encode;
using vexa::isa::Op;
using vexa::vm::floatToInt32;
using vexa::vm::StringFn;
namespace thread_table = vexa::vm::thread_table;

namespace {

// The member of a typed family (Byte, Int, Long, Float in a row) for a numeric kind.
Op typed(Op first, int kind) {
  return vexa::isa::typed(first, static_cast<vexa::vm::Kind>(kind & 3));
}

uint8_t stringFn(StringFn fn) { return static_cast<uint8_t>(fn); }

// Bytes of a value of a numeric kind on the stack.
int stackBytes(int kind) {
  return vexa::vm::stackBytes(vexa::vm::stackTypeOf(static_cast<vexa::vm::Kind>(kind & 3)));
}

// Result kinds of the arithmetic and the logic operators by operand combination.
constexpr int kArithmeticResult[9] = {1, 2, 3, 2, 2, 3, 3, 3, 3};
constexpr int kLogicResult[9] = {1, 2, 1, 2, 2, 1, 1, 1, 1};

// A reference to a declaration that a recompile has replaced.
struct StaleReference : std::runtime_error {
  StaleReference() : std::runtime_error("reference to a removed declaration") {}
};

int kindOfData(const Data& data) {
  int kind = numericKindOf(data.type());
  return kind < 0 ? NUM_INT : kind;
}

int localOffset(int address) { return address < 0 ? address - 4 : address; }

}  // namespace

void CodeGenerator::layoutData(int threadCount) {
  entries_.clear();
  callSites_.clear();
  labels_.clear();
  jumpSites_.clear();
  types_.clear();
  threadCount_ = threadCount;
  variableBase_ = THREAD_CONTEXT_BYTES * threadCount;
  variableCounter_ = 0;
  code_.clear();
  positions_.clear();
  constantWords_ = thread_table::size(threadCount);
  constants_.assign(2 * static_cast<size_t>(constantWords_), 0);
  position_ = -1;
}

void CodeGenerator::emitWord(uint16_t word) {
  if (code_.size() >= MAX_CODE_WORDS) throw BUILD_PROGRAM_TOO_BIG;
  code_.push_back(word);
  positions_.push_back(position_);
}

int CodeGenerator::reserveConstantWords(int words) {
  if (constantWords_ + words > MAX_CONSTANT_WORDS) throw BUILD_TOO_MUCH_CONSTANT_DATA;
  int first = constantWords_;
  constantWords_ += words;
  constants_.resize(2 * static_cast<size_t>(constantWords_), 0);
  return first;
}

void CodeGenerator::writeConstantWord(int wordIndex, uint16_t value) {
  constants_[2 * wordIndex] = static_cast<uint8_t>(value);
  constants_[2 * wordIndex + 1] = static_cast<uint8_t>(value >> 8);
}

int CodeGenerator::placeNumber(double value, int kind) {
  switch (kind) {
    case NUM_BYTE: {
      int at = reserveConstantWords(1);
      writeConstantWord(at, static_cast<uint16_t>(floatToInt32(value) & 255));
      return at;
    }
    case NUM_INT: {
      int at = reserveConstantWords(1);
      writeConstantWord(at, static_cast<uint16_t>(floatToInt32(value)));
      return at;
    }
    case NUM_LONG: {
      int at = reserveConstantWords(2);
      uint32_t v = static_cast<uint32_t>(floatToInt32(value));
      writeConstantWord(at, static_cast<uint16_t>(v));
      writeConstantWord(at + 1, static_cast<uint16_t>(v >> 16));
      return at;
    }
    default: {
      int at = reserveConstantWords(4);
      std::memcpy(&constants_[2 * at], &value, 8);  // little-endian hosts only
      return at;
    }
  }
}

int CodeGenerator::placeString(const std::string& text) {
  int n = text.size() < 30 ? static_cast<int>(text.size()) : 30;
  int at = reserveConstantWords((n + 2) / 2);
  constants_[2 * at] = static_cast<uint8_t>(n);
  std::memcpy(&constants_[2 * at + 1], text.data(), n);
  // The pad byte of an even-length text stays 0 (the area is zero-filled when reserved).
  return at;
}

void CodeGenerator::placeConstant(Constant& constant) {
  constant.address = placeNumber(constant.value, constant.numericKind());
}

void CodeGenerator::placeArrayConstant(ArrayConstant& constant) {
  int first = -1;
  for (double value : constant.values) {
    int at = placeNumber(value, constant.numericKind());
    if (first < 0) first = at;
  }
  constant.address = first < 0 ? constantWords_ : first;
}

void CodeGenerator::placeStringConstant(StringConstant& constant) {
  constant.address = placeString(constant.text);
}

void CodeGenerator::placeStringArrayConstant(StringArrayConstant& constant) {
  int table = reserveConstantWords(static_cast<int>(constant.texts.size()));
  for (size_t i = 0; i < constant.texts.size(); ++i)
    writeConstantWord(table + static_cast<int>(i),
                      static_cast<uint16_t>(placeString(constant.texts[i])));
  constant.address = table;
}

void CodeGenerator::allocateGlobal(Data& variable) {
  if (variable.type()->size() > 1) variableCounter_ = (variableCounter_ + 1) & ~1;
  variable.address = variableBase_ + variableCounter_;
  variableCounter_ += variable.size();
}

void CodeGenerator::writeThreadEntry(int index, int firstWord, int stackNeed, int frameSize,
                                     int startSlice) {
  variableCounter_ = (variableCounter_ + 1) & ~1;
  int stackBase = variableBase_ + variableCounter_;
  variableCounter_ += (stackNeed + 1) & ~1;
  const int thread = index + 1;
  writeConstantWord(thread_table::word(thread, thread_table::kFirstCodeWord),
                    static_cast<uint16_t>(firstWord));
  writeConstantWord(thread_table::word(thread, thread_table::kStackBase),
                    static_cast<uint16_t>(stackBase));
  writeConstantWord(thread_table::word(thread, thread_table::kInitialSp),
                    static_cast<uint16_t>(stackBase + ((frameSize + 1) & ~1)));
  writeConstantWord(thread_table::word(thread, thread_table::kStartSlice),
                    static_cast<uint16_t>(startSlice));
}

void CodeGenerator::resolveCalls() {
  for (const auto& [site, callee] : callSites_) {
    auto it = entries_.find(callee);
    if (it == entries_.end()) throw StaleReference();
    code_[site] = static_cast<uint16_t>(it->second);
  }
  writeConstantWord(thread_table::kCountWord, static_cast<uint16_t>(threadCount_));
}

void CodeGenerator::pop(int n) {
  while (n-- > 0 && !types_.empty()) types_.pop_back();
}

int CodeGenerator::combination() {
  int right = top();
  int left = types_.size() >= 2 ? types_[types_.size() - 2] : 1;
  using vexa::isa::ValueType;
  return vexa::isa::typePair(static_cast<ValueType>(classOf(left)),
                             static_cast<ValueType>(classOf(right)));
}

void CodeGenerator::convertTo(int kind) {
  int from = classOf(top());
  int to = classOf(kind);
  if (from != to) {
    if (to == 1)
      emitWord(encode(from == 0 ? Op::IntToLong : Op::FloatToLong));
    else if (to == 2)
      emitWord(encode(from == 0 ? Op::IntToFloat : Op::LongToFloat));
    else
      emitWord(encode(from == 1 ? Op::LongToInt : Op::FloatToInt));
  }
  pop();
  push(kind);
}

const Identified* CodeGenerator::liveOperand(const IntermediateCodeSequence& code,
                                             int32_t operand) const {
  const SymbolPtr& symbol = code.symbolAt(operand);
  if (!symbol) return nullptr;
  if (symbol->detached()) throw StaleReference();
  return symbol.get();
}

const Data& CodeGenerator::dataOperand(const IntermediateCodeSequence& code,
                                       int32_t operand) const {
  const auto* data = dynamic_cast<const Data*>(liveOperand(code, operand));
  if (!data) throw StaleReference();
  if (auto* variable = dynamic_cast<const Variable*>(data)) {
    if (variable->varType->detached() || (variable->linked && variable->linked->detached()))
      throw StaleReference();
  }
  return *data;
}

void CodeGenerator::pushAddress(const Data& data) {
  auto* variable = dynamic_cast<const Variable*>(&data);
  if (variable && variable->linked) {
    emitWord(encode(Op::LoadLocalInt));
    emitWord(static_cast<uint16_t>(variable->linked->address - 4));
  } else if (data.storage == STORAGE_CONSTANT) {
    emitWord(encode(Op::PushInt));
    emitWord(static_cast<uint16_t>(data.address));
  } else {
    emitWord(encode(Op::PushInt));
    if (data.storage == STORAGE_LOCAL) {
      emitWord(static_cast<uint16_t>(localOffset(data.address)));
      emitWord(encode(Op::AddFrame));
    } else {
      emitWord(static_cast<uint16_t>(data.address));
    }
  }
}

void CodeGenerator::pushReferencedAddress(const Variable& variable) {
  emitWord(encode(Op::LoadLocalInt));
  emitWord(static_cast<uint16_t>(variable.linked->address - 4));
  emitWord(encode(Op::PushInt));
  emitWord(static_cast<uint16_t>(variable.address));
  emitWord(encode(Op::Add));
}

void CodeGenerator::load(const Data& data) {
  int kind = kindOfData(data);
  auto* variable = dynamic_cast<const Variable*>(&data);
  if (auto* constant = dynamic_cast<const Constant*>(&data)) {
    emitWord(encode(typed(Op::PushConstByte, constant->numericKind())));
    emitWord(static_cast<uint16_t>(constant->address));
  } else if (variable && variable->linked) {
    pushReferencedAddress(*variable);
    emitWord(encode(typed(Op::LoadByteAt, kind)));
  } else if (data.storage == STORAGE_GLOBAL) {
    emitWord(encode(typed(Op::LoadByte, kind)));
    emitWord(static_cast<uint16_t>(data.address));
  } else if (data.storage == STORAGE_LOCAL) {
    emitWord(encode(typed(Op::LoadLocalByte, kind)));
    emitWord(static_cast<uint16_t>(localOffset(data.address)));
  } else {
    throw std::logic_error("load of constant data without an address");
  }
  push(kind);
}

void CodeGenerator::store(const Data& data, bool keep) {
  int kind = kindOfData(data);
  convertTo(kind);
  auto* variable = dynamic_cast<const Variable*>(&data);
  if (variable && variable->linked) {
    pushReferencedAddress(*variable);
    emitWord(encode(typed(Op::StoreByteAt, kind)));
  } else if (data.storage == STORAGE_GLOBAL) {
    emitWord(encode(typed(keep ? Op::PutByte : Op::StoreByte, kind)));
    emitWord(static_cast<uint16_t>(data.address));
  } else if (data.storage == STORAGE_LOCAL) {
    emitWord(encode(typed(keep ? Op::PutLocalByte : Op::StoreLocalByte, kind)));
    emitWord(static_cast<uint16_t>(localOffset(data.address)));
  } else {
    throw std::logic_error("store into constant data");
  }
  if (!keep) pop();
}

int CodeGenerator::translateProcedure(const Procedure& procedure) {
  int first = codeCount();
  entries_[&procedure] = first;
  labels_.clear();
  jumpSites_.clear();
  types_.clear();
  const IntermediateCodeSequence& code = procedure.code;
  int frame = code.frameSize;
  if (frame != 0) {
    position_ = -1;
    emitWord(encode(Op::AdjustSp));
    emitWord(static_cast<uint16_t>((frame + 1) & 0xFFFE));
  }
  for (const auto& item : code.items()) translate(code, item);
  for (const auto& [site, label] : jumpSites_) {
    auto it = labels_.find(label);
    if (it == labels_.end()) throw std::logic_error("jump to a label that was never placed");
    code_[site] = static_cast<uint16_t>(it->second - site - 1);
  }
  return first;
}

void CodeGenerator::translate(const IntermediateCodeSequence& code,
                              const IntermediateCodeSequence::Item& item) {
  const int32_t operand = item.operand;
  switch (item.op) {
    case OP_CALL: {
      const auto* function = dynamic_cast<const Function*>(liveOperand(code, operand));
      if (!function) throw StaleReference();
      if (!function->isInline) {
        emitWord(encode(Op::Call));
        callSites_.emplace_back(codeCount(), function);
        emitWord(0);
      }
      pop(static_cast<int>(function->parameters.size()));
      if (function->returnType) push(numericKindOf(function->returnType.get()));
      return;
    }
    case OP_RETURN: {
      const auto* function = dynamic_cast<const Function*>(liveOperand(code, operand));
      if (!function) throw StaleReference();
      uint16_t dropped = static_cast<uint16_t>(function->parameterSize + 4);
      if (function->returnType) {
        int kind = numericKindOf(function->returnType.get());
        convertTo(kind);
        emitWord(encode(Op::ReturnValue, static_cast<uint8_t>(classOf(kind))));
        emitWord(dropped);
        pop();
      } else if (function->parameterSize > 0 || function->code.frameSize > 0) {
        emitWord(encode(Op::ReturnN));
        emitWord(dropped);
      } else {
        emitWord(encode(Op::Return));
      }
      return;
    }
    case OP_DROP_RESULT: {
      const auto* function = dynamic_cast<const Function*>(liveOperand(code, operand));
      if (!function) throw StaleReference();
      int kind = function->returnType ? numericKindOf(function->returnType.get()) : NUM_INT;
      emitWord(encode(Op::AdjustSp));
      emitWord(static_cast<uint16_t>(-stackBytes(kind)));
      pop();
      return;
    }
    case OP_LABEL: labels_[operand] = codeCount(); return;
    case OP_JUMP:
    case OP_JUMP_IF_FALSE:
      emitWord(encode(item.op == OP_JUMP ? Op::Jump : Op::JumpIfFalse));
      jumpSites_.emplace_back(codeCount(), operand);
      emitWord(0);
      if (item.op == OP_JUMP_IF_FALSE) pop();
      return;
    case OP_CONVERT: convertTo(operand); return;
    case OP_LOAD: load(dataOperand(code, operand)); return;
    case OP_PUSH_INT:
    case OP_PUSH_DOUBLE: {
      double value = item.op == OP_PUSH_INT ? operand : code.doubleAt(operand);
      int kind = item.op == OP_PUSH_INT ? (operand >= 0 && operand <= 255          ? NUM_BYTE
                                           : operand >= -32768 && operand <= 32767 ? NUM_INT
                                                                                   : NUM_LONG)
                                        : smallestNumericKind(value);
      int32_t v = floatToInt32(value);
      if (kind == NUM_BYTE) {
        emitWord(encode(Op::PushByte, static_cast<uint8_t>(v)));
      } else if (kind == NUM_INT) {
        emitWord(encode(Op::PushInt));
        emitWord(static_cast<uint16_t>(v));
      } else {
        emitWord(encode(kind == NUM_LONG ? Op::PushConstLong : Op::PushConstFloat));
        emitWord(static_cast<uint16_t>(placeNumber(value, kind)));
      }
      push(kind);
      return;
    }
    case OP_ADDRESS:
      pushAddress(dataOperand(code, operand));
      push(NUM_INT);
      return;
    case OP_LOAD_INDIRECT: {
      const Data& data = dataOperand(code, operand);
      int kind = kindOfData(data);
      convertTo(NUM_INT);
      emitWord(encode(
          typed(data.storage == STORAGE_CONSTANT ? Op::PushConstByteAt : Op::LoadByteAt, kind)));
      pop();
      push(kind);
      return;
    }
    case OP_STORE: store(dataOperand(code, operand), false); return;
    case OP_PUT: store(dataOperand(code, operand), true); return;
    case OP_STORE_INDIRECT:
      emitWord(encode(typed(Op::StoreByteAt, kindOfData(dataOperand(code, operand)))));
      pop(2);
      return;
    case OP_NEG:
      emitWord(
          encode(vexa::isa::typed(Op::NegInt, static_cast<vexa::isa::ValueType>(classOf(top())))));
      return;
    case OP_NOT:
      if (top() == NUM_FLOAT) {
        emitWord(encode(Op::NotFloat));
        pop();
        push(NUM_INT);
      } else {
        emitWord(encode(
            vexa::isa::typed(Op::NotInt, static_cast<vexa::isa::ValueType>(classOf(top())))));
      }
      return;
    case OP_ADD:
    case OP_SUB:
    case OP_MUL:
    case OP_DIV:
    case OP_MOD:
    case OP_SHL:
    case OP_SHR: {
      static constexpr Op kOps[] = {Op::Add, Op::Sub, Op::Mul, Op::Div, Op::Mod};
      Op op = item.op == OP_SHL ? Op::Shl : item.op == OP_SHR ? Op::Shr : kOps[item.op - OP_ADD];
      int c = combination();
      emitWord(encode(op, static_cast<uint8_t>(c)));
      pop(2);
      push(kArithmeticResult[c]);
      return;
    }
    case OP_EQUAL:
    case OP_NOT_EQUAL:
    case OP_GREATER:
    case OP_LESS:
    case OP_GREATER_EQUAL:
    case OP_LESS_EQUAL: {
      static constexpr Op kOps[] = {Op::Equal, Op::NotEqual,     Op::Greater,
                                    Op::Less,  Op::GreaterEqual, Op::LessEqual};
      int c = combination();
      emitWord(encode(kOps[item.op - OP_EQUAL], static_cast<uint8_t>(c)));
      pop(2);
      push(NUM_INT);
      return;
    }
    case OP_AND:
    case OP_NAND:
    case OP_OR:
    case OP_NOR:
    case OP_XOR: {
      static constexpr Op kOps[] = {Op::And, Op::Nand, Op::Or, Op::Nor, Op::Xor};
      int c = combination();
      emitWord(encode(kOps[item.op - OP_AND], static_cast<uint8_t>(c)));
      pop(2);
      push(kLogicResult[c]);
      return;
    }
    case OP_STR_CLEAR:
      emitWord(encode(Op::StringFunc, stringFn(StringFn::Clear)));
      pop();
      return;
    case OP_STR_APPEND_CHAR:
      emitWord(encode(Op::StringFunc, stringFn(StringFn::AppendChar)));
      pop(2);
      return;
    case OP_STR_APPEND:
      emitWord(encode(Op::StringFunc, stringFn(StringFn::Append)));
      pop(2);
      return;
    case OP_STR_APPEND_TEXT:
      emitWord(encode(Op::PushInt));
      emitWord(static_cast<uint16_t>(placeString(code.textAt(operand))));
      emitWord(encode(Op::StringFunc, stringFn(StringFn::AppendConst)));
      pop();
      return;
    case OP_STR_APPEND_CONST: {
      const Identified* symbol = liveOperand(code, operand);
      if (dynamic_cast<const StringArrayConstant*>(symbol)) {
        emitWord(encode(Op::PushConstIntAt));
        pop();
      } else if (auto* text = dynamic_cast<const StringConstant*>(symbol)) {
        emitWord(encode(Op::PushInt));
        emitWord(static_cast<uint16_t>(text->address));
      } else {
        pop();
      }
      emitWord(encode(Op::StringFunc, stringFn(StringFn::AppendConst)));
      pop();
      return;
    }
    case OP_WORD: emitWord(static_cast<uint16_t>(operand)); return;
    case OP_RUN:
    case OP_HALT:
    case OP_RESUME:
    case OP_RESET: {
      const auto* thread = dynamic_cast<const Thread*>(liveOperand(code, operand));
      uint8_t number = thread ? static_cast<uint8_t>(thread->number) : 0;
      if (item.op == OP_RUN) {
        emitWord(encode(Op::ThreadSetSlice, number));
        pop();
      } else if (item.op == OP_HALT) {
        emitWord(encode(Op::PushInt));
        emitWord(0);
        emitWord(encode(Op::ThreadSetSlice, number));
      } else {
        emitWord(encode(item.op == OP_RESUME ? Op::ThreadRestoreSlice : Op::ThreadStart, number));
      }
      return;
    }
    case OP_SLEEP:
      emitWord(encode(Op::Sleep));
      pop();
      return;
    case OP_CAPTURE:
      emitWord(encode(Op::Capture));
      pop();
      return;
    case OP_RELEASE: emitWord(encode(Op::Release)); return;
    case OP_YIELD: emitWord(encode(Op::Yield)); return;
    case OP_QUIT:
      emitWord(encode(Op::Stop));
      pop();
      return;
    case OP_MARKER: position_ = operand; return;
    default: throw std::logic_error("unknown intermediate operation");
  }
}

}  // namespace vexa::vx2
