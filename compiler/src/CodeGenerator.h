// Translates intermediate code into VM code words and lays out constants, globals and
// the thread table.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "DataSymbols.h"
#include "IntermediateCodeSequence.h"
#include "vexa/vm_contract.h"

namespace vexa::vx2 {

class Procedure;
class Function;

// Limits of the build, thrown by the layout and the generator.
enum BuildError : int {
  BUILD_NO_MAIN_THREAD = 0,
  BUILD_TOO_MANY_THREADS = 1,
  BUILD_TOO_MUCH_VARIABLE_DATA = 2,
  BUILD_TOO_MUCH_CONSTANT_DATA = 3,
  BUILD_PROGRAM_TOO_BIG = 4,
};

class CodeGenerator {
 public:
  static constexpr int MAX_CODE_WORDS = vexa::vm::kMaxCodeWords;
  static constexpr int MAX_CONSTANT_WORDS = vexa::vm::kMaxConstantWords;
  static constexpr int MAX_VARIABLE_BYTES = vexa::vm::kRamBytes;
  static constexpr int THREAD_CONTEXT_BYTES = vexa::vm::context::kSize;

  void layoutData(int threadCount);
  int translateProcedure(const Procedure& procedure);
  void placeConstant(Constant& constant);
  void placeArrayConstant(ArrayConstant& constant);
  void placeStringConstant(StringConstant& constant);
  void placeStringArrayConstant(StringArrayConstant& constant);
  void allocateGlobal(Data& variable);
  void writeThreadEntry(int index, int firstWord, int stackNeed, int frameSize, int startSlice);
  void resolveCalls();

  // RAM in use: thread contexts and everything allocated after them.
  int ramBytes() const { return variableBase_ + variableCounter_; }
  int constantBytes() const { return 2 * constantWords_; }
  int codeCount() const { return static_cast<int>(code_.size()); }

  const std::vector<uint16_t>& code() const { return code_; }
  const std::vector<int32_t>& codePositions() const { return positions_; }
  const std::vector<uint8_t>& constantArea() const { return constants_; }

 private:
  void emitWord(uint16_t word);
  int placeString(const std::string& text);
  int reserveConstantWords(int words);
  void writeConstantWord(int wordIndex, uint16_t value);
  int placeNumber(double value, int kind);

  // Type stack.
  int top() const { return types_.empty() ? 1 : types_.back(); }
  void push(int kind) { types_.push_back(kind == 0 ? 1 : kind); }
  void pop(int n = 1);
  void convertTo(int kind);
  static int classOf(int kind) { return kind <= 1 ? 0 : kind - 1; }
  int combination();

  void translate(const IntermediateCodeSequence& code, const IntermediateCodeSequence::Item& item);
  void load(const Data& data);
  void store(const Data& data, bool keep);
  void pushAddress(const Data& data);
  // The reference's value plus the variable's offset behind it.
  void pushReferencedAddress(const Variable& variable);
  const Data& dataOperand(const IntermediateCodeSequence& code, int32_t operand) const;
  const Identified* liveOperand(const IntermediateCodeSequence& code, int32_t operand) const;

  int threadCount_ = 0;
  int variableBase_ = 0;
  int variableCounter_ = 0;
  int constantWords_ = 0;
  int32_t position_ = -1;
  std::vector<uint16_t> code_;
  std::vector<int32_t> positions_;
  std::vector<uint8_t> constants_;
  std::vector<int> types_;
  std::unordered_map<const Procedure*, int> entries_;
  std::vector<std::pair<int, const Procedure*>> callSites_;
  std::unordered_map<int32_t, int> labels_;
  std::vector<std::pair<int, int32_t>> jumpSites_;
};

}  // namespace vexa::vx2
