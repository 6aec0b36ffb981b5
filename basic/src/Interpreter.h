// Token-code interpreter of the first-generation board: registers, reset,
// and the step that runs to the next line marker.
#pragma once

#include <array>
#include <cstdint>

#include "Board.h"
#include "TokenCode.h"
#include "vexa/platform/Clock.h"

namespace vexa::vxbasic {

using vexa::basic::Op;

inline constexpr std::size_t kMemorySize = 60000;
using ProgramMemory = std::array<uint8_t, kMemorySize>;

// A fault of the simulated program: 1 division by zero, 2 end of program memory.
struct RuntimeError {
  uint16_t number;
};

struct MachineState {
  uint16_t pc = 0;
  uint16_t line = 0;
  std::array<int16_t, 7> stack{};  // word 0 is the top
  uint16_t seed = 0;
  std::array<uint16_t, 4> gosub{};  // 0 marks a free slot
  uint16_t interrupt = 0;
  uint8_t pendingInput = 0;
  bool waiting = false;
  int16_t inputValue = 0;
};

// QuorinStepResult kinds.
enum StepKind : uint16_t {
  kStepEnd = 0,
  kStepLine = 1,
  kStepInput = 2,
  kStepOutput = 3,
  kStepWait = 4,
  kStepPause = 5,
  kStepLineFileChanged = 6,
  kStepError = 0xFFFF,
};

inline uint32_t stepResult(uint16_t kind, uint16_t value) { return uint32_t{value} << 16 | kind; }

class Interpreter {
 public:
  Interpreter(ProgramMemory& memory, MachineState& machine, Board& board,
              vexa::platform::Clock& clock)
      : mem_(memory), m_(machine), board_(board), clock_(clock) {}

  void reset();
  uint32_t step();

  // Opcodes executed without reaching a line marker before a step gives
  // control back as one round of a loop, so that code without markers
  // (data run as code) cannot hang the caller.
  static constexpr unsigned kStepBudget = 1'000'000;

 private:
  uint32_t run();
  // Runs an opcode by the family the token-code table gives it.
  void execute(uint8_t byte);
  void executeFlow(Op op);
  void executePorts(Op op);
  void executeMemory(Op op);
  void executeArithmetic(Op op);
  void executeFile(vexa::basic::FileOp sub);

  uint8_t fetch();
  uint16_t fetchWord();
  uint8_t readMemory(std::size_t address) const;
  void writeMemory(std::size_t address, uint8_t value);

  int16_t top() const { return m_.stack[0]; }
  void push(int16_t value);
  // word 1 OP word 0 into word 0; words 2-6 move up.
  void binary(int32_t result);
  static int16_t truth(bool v) { return v ? -1 : 0; }

  ProgramMemory& mem_;
  MachineState& m_;
  Board& board_;
  vexa::platform::Clock& clock_;
};

}  // namespace vexa::vxbasic
