// One simulated board: program, data memory with the thread contexts, scheduler state,
// error flags and peripherals.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <vexa/vm_contract.h>

#include "vexa/platform/Clock.h"

namespace vexa::vx2sim {

inline constexpr std::size_t kImageSize = vexa::vm::kMaxConstantBytes;
inline constexpr std::size_t kCodeSize = vexa::vm::kMaxCodeWords;
inline constexpr std::size_t kRamSize = vexa::vm::kRamBytes;
inline constexpr uint16_t kNoStatement = vexa::vm::kNoStatement;

// Bounded work per step: no program makes a step call run for ever.
inline constexpr uint32_t kMaxInstructionsPerStep = 1u << 16;

// Layout of a ThreadContext in RAM (20 bytes per thread from address 0).
namespace context = vexa::vm::context;

// Step record, run states, change flags and status bits.
enum RunState : int32_t {
  kRunning = 0,
  kHalted = 1,
  kAllStopped = 2,
  kStackOverflow = 3,
  kMathError = 4,
  kBadArgument = 5,
};

namespace change {
inline constexpr int32_t kModule = 0x1;
inline constexpr int32_t kLine = 0x2;
inline constexpr int32_t kStatement = 0x4;
inline constexpr int32_t kThread = 0x8;
inline constexpr int32_t kCallDepth = 0x10;
inline constexpr int32_t kRunState = 0x20;
}  // namespace change

namespace status {
inline constexpr uint16_t kRamStore = 0x1;
inline constexpr uint16_t kPort = 0x2;
inline constexpr uint16_t kPlm = 0x4;
inline constexpr uint16_t kLcd = 0x40;
}  // namespace status

struct StepRecord {
  int32_t runState;
  int32_t changes;
  int32_t haltCode;
  int32_t module;
  int32_t line;
  int32_t statement;
  int32_t thread;
  int32_t callDepth;
};

struct Statement {
  int module;
  int line;
};

enum VarType : int {
  kByte = vexa::vm::var_type::kByte,
  kInt = vexa::vm::var_type::kInt,
  kLong = vexa::vm::var_type::kLong,
  kFloat = vexa::vm::var_type::kFloat,
  kString = vexa::vm::var_type::kString,
};

struct VariableRecord {
  int kind = 0;     // 1 global, 2 local
  int type = 0;     // VarType
  int address = 0;  // 16 bits from the file; a local's offset is signed
  uint16_t codeFrom = 0;
  uint16_t codeTo = 0;
};

struct LcdState {
  int column = 0;
  int row = 0;
  int window = 0;
  std::array<std::array<uint8_t, 17>, 2> cells{};
};

struct PlmState {
  int timeBase01 = 0;
  int timeBase2 = 0;
  uint16_t period01 = 0;
  uint16_t period2 = 0;
  std::array<uint16_t, 3> pulse{};
};

class Machine {
 public:
  // The clock gives the millisecond counter, the local time and the random seed.
  explicit Machine(vexa::platform::Clock& clock);

  // Program loading (.dbg text) and life cycle.
  void load(std::FILE* file);  // throws LoadError
  void reset();
  StepRecord step(int32_t callerChanges);

  // --- per-thread scheduler state ---
  std::vector<int> callDepth;
  std::vector<int> stackLimit;
  std::vector<uint16_t> lastStatement;
  int threadIndex = 0;
  uint8_t threadCount = 0;
  uint8_t sliceCounter = 0;
  uint16_t haltCode = 0;
  uint16_t advance = 0;
  uint16_t ctxBase = 0;  // RAM address of the current ThreadContext

  LcdState lcd;

  // --- program ---
  // The image carries zero slack so that a constant read at the last index stays inside.
  std::array<uint8_t, kImageSize + 8> image{};
  std::array<uint16_t, kCodeSize> code;
  std::array<uint16_t, kCodeSize> debugMap;
  std::array<uint8_t, kRamSize> ram{};
  std::vector<Statement> statements;
  std::vector<VariableRecord> variables;
  std::map<std::string, int> names;

  // --- flags ---
  bool firstStep = false;
  bool mathError = false;
  bool stackOverflow = false;
  bool badArgument = false;
  uint16_t status = 0;

  // --- peripherals ---
  uint16_t portLevels = 0;
  uint16_t portDirection = 0;
  uint16_t initialPortLevels = 0;
  uint16_t initialPortDirection = 0;
  std::array<uint16_t, 8> adc{};
  PlmState plm;

  vexa::platform::Clock* clock;
  // The clock's milliseconds as the program sees them.
  int32_t milliseconds() const { return static_cast<int32_t>(clock->milliseconds()); }
  std::FILE* output = stdout;  // text written by the serial functions
  std::minstd_rand random;
  // Pseudo-random reading 0..9999, as counters and clock sources give.
  int32_t randomReading() { return static_cast<int32_t>(random() % 10000); }

  // --- RAM access; addresses wrap at 64 KiB ---
  template <typename T>
  T load(uint16_t a) const {
    T v;
    if (a <= kRamSize - sizeof(T)) {
      std::memcpy(&v, &ram[a], sizeof(T));
    } else {
      uint8_t b[sizeof(T)];
      for (std::size_t i = 0; i < sizeof(T); ++i) b[i] = ram[static_cast<uint16_t>(a + i)];
      std::memcpy(&v, b, sizeof(T));
    }
    return v;
  }
  template <typename T>
  void store(uint16_t a, T v) {
    if (a <= kRamSize - sizeof(T)) {
      std::memcpy(&ram[a], &v, sizeof(T));
    } else {
      uint8_t b[sizeof(T)];
      std::memcpy(b, &v, sizeof(T));
      for (std::size_t i = 0; i < sizeof(T); ++i) ram[static_cast<uint16_t>(a + i)] = b[i];
    }
  }

  // --- constant image at index k (byte offset 2k) ---
  template <typename T>
  T constant(uint16_t k) const {
    T v;
    std::memcpy(&v, &image[2u * k], sizeof(T));
    return v;
  }

  // Image byte at any offset; 0 past the image.
  uint8_t imageByte(std::size_t i) const { return i < image.size() ? image[i] : 0; }

  // --- current thread's context ---
  uint16_t pc() const { return load<uint16_t>(ctxBase + context::kPc); }
  uint16_t frame() const { return load<uint16_t>(ctxBase + context::kFrame); }
  uint16_t sp() const { return load<uint16_t>(ctxBase + context::kSp); }
  uint8_t slice() const { return ram[ctxBase + context::kSlice]; }
  void setPc(uint16_t v) { store<uint16_t>(ctxBase + context::kPc, v); }
  void setFrame(uint16_t v) { store<uint16_t>(ctxBase + context::kFrame, v); }
  void setSp(uint16_t v) { store<uint16_t>(ctxBase + context::kSp, v); }
  uint16_t frameAddress(uint16_t offset) const { return static_cast<uint16_t>(frame() + offset); }

  // --- stack of the current thread; a push that would reach the limit writes nothing ---
  template <typename T>
  void push(T v) {
    const uint16_t s = sp();
    if (s + sizeof(T) > static_cast<std::size_t>(stackLimit[threadIndex])) {
      stackOverflow = true;
      return;
    }
    store<T>(s, v);
    setSp(static_cast<uint16_t>(s + sizeof(T)));
  }
  template <typename T>
  T pop() {
    const uint16_t s = static_cast<uint16_t>(sp() - sizeof(T));
    setSp(s);
    return load<T>(s);
  }
  template <typename T>
  T top() const {
    return load<T>(static_cast<uint16_t>(sp() - sizeof(T)));
  }
  template <typename T>
  void setTop(T v) {
    store<T>(static_cast<uint16_t>(sp() - sizeof(T)), v);
  }

  void push16(uint16_t v) { push<uint16_t>(v); }
  uint16_t pop16() { return pop<uint16_t>(); }

  // Ends the current thread's turn after this instruction.
  void endTurn() { sliceCounter = 254; }
  // The instruction runs again in the thread's next turn.
  void repeatInstruction() { advance = 0; }
  // An instruction the machine does not define: an orderly stop at it.
  void undefinedInstruction();

  bool hasError() const { return mathError || stackOverflow || badArgument; }
  int32_t runState() const;

  // Thread (1-based) from a byte operand: 0 is the current thread.
  void startThread(int thread);
  bool validThread(int thread) const { return thread >= 1 && thread <= threadCount; }

  // Statement entry at the current pc.
  uint16_t statementAtPc() const { return debugMap[pc()]; }

 private:
  enum class Outcome { Report, Continue, Idle };
  Outcome executeInstruction();
  bool schedule();
  void selectThread(int index);
  void dispatch(uint16_t w, uint16_t pcNow);
};

}  // namespace vexa::vx2sim
