// The numbers that the compiler, the machine and the tools share about a VM program: image
// limits and padding, the thread table, the thread contexts in RAM, the system-function
// modules and their sub-functions, the variable types of the debug file and the order of the
// typed instruction families.
//
// Standalone on purpose (it needs only the instruction list), so that a tool can include it
// without linking the instruction-set library. The static_asserts at the end tie it to that
// list.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "vexa/isa_table.h"

namespace vexa::vm {

// --- image limits, rounding and padding ---
inline constexpr uint32_t kMaxConstantBytes = 0x20000;
inline constexpr uint32_t kMaxConstantWords = kMaxConstantBytes / 2;
inline constexpr uint32_t kMaxCodeWords = 0x10000;
inline constexpr uint32_t kRamBytes = 0x10000;

// The image rounds constant bytes up to whole rows of 32 and code words to rows of 16,
// filling with these values.
inline constexpr uint32_t kConstantRowBytes = 32;
inline constexpr uint32_t kCodeRowWords = 16;
inline constexpr uint8_t kPaddingByte = 255;
inline constexpr uint16_t kPaddingWord = 0xFFFF;

constexpr uint32_t paddedConstantBytes(uint32_t bytes) {
  return (bytes + kConstantRowBytes - 1) & ~(kConstantRowBytes - 1);
}
constexpr uint32_t paddedCodeWords(uint32_t words) {
  return (words + kCodeRowWords - 1) & ~(kCodeRowWords - 1);
}

// Statement index of the debug map for a code word outside any statement (prologues, padding).
inline constexpr uint16_t kNoStatement = 0xFFFF;

// Binary image: CB and CW as unsigned 32-bit numbers, then the bytes, then the words.
inline constexpr uint32_t kImageHeaderBytes = 8;
constexpr uint32_t binaryImageSize(uint32_t paddedBytes, uint32_t paddedWords) {
  return kImageHeaderBytes + paddedBytes + 2 * paddedWords;
}

// --- thread table: constant words from word 0 ---
namespace thread_table {
inline constexpr int kCountWord = 0;  // low byte: number of threads
inline constexpr int kMaxThreads = 255;
inline constexpr int kWordsPerThread = 4;
// Words of one entry.
inline constexpr int kFirstCodeWord = 0;
inline constexpr int kStackBase = 1;  // frame address at start
inline constexpr int kInitialSp = 2;
inline constexpr int kStartSlice = 3;  // low byte used

// Word index of a field of thread `thread` (numbered from 1).
constexpr int word(int thread, int field) { return 1 + kWordsPerThread * (thread - 1) + field; }
// Constant words that the table of `threads` threads takes.
constexpr int size(int threads) { return 1 + kWordsPerThread * threads; }
}  // namespace thread_table

// Instructions per turn of the thread named "main" at start, and of a thread that `run` starts
// without a slice of its own.
inline constexpr uint8_t kDefaultSlice = 32;

// --- ThreadContext: 20 bytes per thread in RAM from address 0 ---
namespace context {
inline constexpr uint16_t kSize = 20;
inline constexpr uint16_t kPc = 0;
inline constexpr uint16_t kFrame = 2;
inline constexpr uint16_t kSp = 4;
inline constexpr uint16_t kSemaphore = 6;
inline constexpr uint16_t kSleepStart = 8;  // int32
inline constexpr uint16_t kSleepEnd = 12;   // int32
inline constexpr uint16_t kSlice = 16;
inline constexpr uint16_t kSavedSlice = 17;
inline constexpr uint16_t kSleeping = 18;
inline constexpr uint16_t kReserved = 19;

// RAM address of the context of thread `thread` (numbered from 1).
constexpr uint16_t address(int thread) { return static_cast<uint16_t>(kSize * (thread - 1)); }
}  // namespace context

// --- numeric kinds, the variable types of the debug file, stack value types ---
// The order of every typed instruction family: the member for a kind is the Byte member plus
// the kind.
enum class Kind : uint8_t { Byte = 0, Int = 1, Long = 2, Float = 3 };
inline constexpr int kKindCount = 4;

namespace var_type {
inline constexpr int kByte = 0;
inline constexpr int kInt = 1;
inline constexpr int kLong = 2;
inline constexpr int kFloat = 3;
inline constexpr int kStringInFile = -1;  // as the compiler writes it
inline constexpr int kString = 0xFFFF;    // its low 16 bits, as the machine keeps it
}  // namespace var_type

// Values on the stack: byte and int travel as int16. The index of an operator group's type
// pair, of ReturnValue's result byte and of the Int/Long/Float families (Not, Neg, Abs).
enum class StackType : uint8_t { Int16 = 0, Int32 = 1, Float = 2 };
constexpr StackType stackTypeOf(Kind kind) {
  return kind == Kind::Float  ? StackType::Float
         : kind == Kind::Long ? StackType::Int32
                              : StackType::Int16;
}
constexpr int stackBytes(StackType type) {
  return type == StackType::Float ? 8 : type == StackType::Int32 ? 4 : 2;
}

// --- system-function modules: class 0x40 instructions whose byte selects a sub-function ---
namespace module {
inline constexpr uint8_t kDateTime = 30;
inline constexpr uint8_t kClock = 32;
inline constexpr uint8_t kString = 34;
inline constexpr uint8_t kPlm = 35;
inline constexpr uint8_t kSerial = 36;
inline constexpr uint8_t kDevice37 = 37;
inline constexpr uint8_t kDevice38 = 38;
inline constexpr uint8_t kDevice39 = 39;
inline constexpr uint8_t kDevice40 = 40;
inline constexpr uint8_t kDevice41 = 41;
inline constexpr uint8_t kLcd = 42;
}  // namespace module

// DateTimeGet: a field of the local time.
enum class DateField : uint8_t { Year, Month, Day, Hour, Minute, Second, Weekday, DaylightSaving };

// ClockGet: the process clock, or one of six random readings.
enum class ClockSource : uint8_t { Milliseconds = 0, FirstRandom = 1, LastRandom = 6 };

// StringFunc: pops its arguments from a string record (32 bytes) and more.
enum class StringFn : uint8_t {
  Clear,                 // address
  Length,                // address; pushes the length
  FillTo,                // character, count, address
  AppendChar,            // character, address
  Append,                // source address, destination address
  AppendConst,           // constant index, destination
  AppendInt,             // int16, destination
  AppendLong,            // int32, destination
  AppendFloat,           // float, destination
  AppendIntWidth,        // width, int16, destination
  AppendLongWidth,       // width, int32, destination
  AppendFloatPrecision,  // precision, float, destination
  AppendBits,            // character for 0, character for 1, value, destination
};

// PlmFunc: pulse-length outputs.
enum class PlmFn : uint8_t { None, TimeBase, Ignored, Period, Pulse, Tone };

// SerialFunc: text to the standard output; nothing is received.
enum class SerialFn : uint8_t {
  None0,
  Pop1,
  Pop2,
  None3,
  Ready,
  PutChar,
  PutString,
  Received,
  ReadByte
};

// LcdFunc: the two-line display.
enum class LcdFn : uint8_t {
  None,
  Cursor,
  Clear,
  ClearToEnd,
  GotoXY,
  Home,
  Window,
  Ready,
  PutChar,
  PutString
};

// Device stubs 37..41 only keep the stack balanced: per sub-function the int16 values they
// pop and what they push then.
enum class StubPush : uint8_t {
  None,
  Zero,
  True,         // -1
  HandleCheck,  // 0 when the popped handle is 1..15, else -1
};
struct StubEffect {
  uint8_t pops;
  StubPush push;
};
namespace detail {
using P = StubPush;
inline constexpr StubEffect kDevice37[] = {{0, P::None}, {1, P::None}, {2, P::None},
                                           {0, P::None}, {0, P::True}, {1, P::None},
                                           {2, P::None}, {0, P::Zero}, {0, P::Zero}};
inline constexpr StubEffect kDevice38[] = {
    {0, P::None}, {0, P::None}, {0, P::True}, {1, P::None}, {2, P::None}};
// b 8 pushes for every handle, so that the program's stack stays balanced.
inline constexpr StubEffect kDevice39[] = {
    {3, P::None}, {1, P::True}, {1, P::HandleCheck}, {4, P::None}, {4, P::None},
    {1, P::Zero}, {2, P::None}, {1, P::None},        {1, P::Zero}, {2, P::Zero}};
inline constexpr StubEffect kDevice40[] = {{0, P::None}, {1, P::Zero}, {0, P::None}, {1, P::Zero},
                                           {0, P::Zero}, {0, P::Zero}, {0, P::Zero}};
inline constexpr StubEffect kDevice41[] = {{0, P::None}, {1, P::None}, {0, P::Zero}};
}  // namespace detail

// The sub-functions of a device stub module; empty for any other module.
constexpr std::span<const StubEffect> deviceStub(uint8_t moduleNumber) {
  switch (moduleNumber) {
    case module::kDevice37: return detail::kDevice37;
    case module::kDevice38: return detail::kDevice38;
    case module::kDevice39: return detail::kDevice39;
    case module::kDevice40: return detail::kDevice40;
    case module::kDevice41: return detail::kDevice41;
    default: return {};
  }
}

namespace detail {
// The instruction list as plain rows, for the checks below.
struct Row {
  std::string_view name;
  uint8_t cls;
  uint8_t number;
};
inline constexpr Row kRows[] = {
#define VEXA_VM_ROW(name, cls, number, byteKind, operandKind, pops, pushes, flags) \
  Row{#name, cls, number},
    VEXA_ISA_INSTRUCTIONS(VEXA_VM_ROW)
#undef VEXA_VM_ROW
};

// Class | number of the row named prefix + middle + suffix; -1 when there is none.
constexpr int opcodeNamed(std::string_view prefix, std::string_view middle = {},
                          std::string_view suffix = {}) {
  for (const Row& row : kRows) {
    const std::string_view n = row.name;
    if (n.size() == prefix.size() + middle.size() + suffix.size() &&
        n.substr(0, prefix.size()) == prefix && n.substr(prefix.size(), middle.size()) == middle &&
        n.substr(prefix.size() + middle.size()) == suffix)
      return row.cls | row.number;
  }
  return -1;
}

inline constexpr std::string_view kKindNames[] = {"Byte", "Int", "Long", "Float"};

// The family prefix + Byte/Int/Long/Float + suffix: consecutive words of one class.
constexpr bool kindFamily(std::string_view prefix, std::string_view suffix = {}) {
  const int first = opcodeNamed(prefix, kKindNames[0], suffix);
  for (int k = 0; k < kKindCount; ++k)
    if (first < 0 || opcodeNamed(prefix, kKindNames[k], suffix) != first + k) return false;
  return true;
}
// The family prefix + Int/Long/Float: consecutive words, in stack type order.
constexpr bool stackTypeFamily(std::string_view prefix) {
  const int first = opcodeNamed(prefix, "Int");
  return first >= 0 && opcodeNamed(prefix, "Long") == first + 1 &&
         opcodeNamed(prefix, "Float") == first + 2;
}
}  // namespace detail

// The typed families that code selects by adding a kind or a stack type to the first member.
static_assert(detail::kindFamily("PushConst") && detail::kindFamily("PushConst", "At"));
static_assert(detail::kindFamily("Load") && detail::kindFamily("Load", "At") &&
              detail::kindFamily("LoadLocal"));
static_assert(detail::kindFamily("Store") && detail::kindFamily("Store", "At") &&
              detail::kindFamily("StoreLocal"));
static_assert(detail::kindFamily("Put") && detail::kindFamily("PutLocal"));
static_assert(detail::kindFamily("Inc") && detail::kindFamily("Inc", "At") &&
              detail::kindFamily("IncLocal"));
static_assert(detail::kindFamily("PushZero") && detail::kindFamily("Drop"));
static_assert(detail::stackTypeFamily("Not") && detail::stackTypeFamily("Neg") &&
              detail::stackTypeFamily("Abs"));

static_assert(detail::opcodeNamed("DateTimeGet") == (0x40 | module::kDateTime));
static_assert(detail::opcodeNamed("ClockGet") == (0x40 | module::kClock));
static_assert(detail::opcodeNamed("StringFunc") == (0x40 | module::kString));
static_assert(detail::opcodeNamed("PlmFunc") == (0x40 | module::kPlm));
static_assert(detail::opcodeNamed("SerialFunc") == (0x40 | module::kSerial));
static_assert(detail::opcodeNamed("Device37Func") == (0x40 | module::kDevice37));
static_assert(detail::opcodeNamed("Device38Func") == (0x40 | module::kDevice38));
static_assert(detail::opcodeNamed("Device39Func") == (0x40 | module::kDevice39));
static_assert(detail::opcodeNamed("Device40Func") == (0x40 | module::kDevice40));
static_assert(detail::opcodeNamed("Device41Func") == (0x40 | module::kDevice41));
static_assert(detail::opcodeNamed("LcdFunc") == (0x40 | module::kLcd));
static_assert(detail::opcodeNamed("Fill") == kPaddingWord - 0xFF00,
              "the padding word executes as Fill");

static_assert(deviceStub(module::kDevice39).size() == 10 && deviceStub(module::kLcd).empty());
static_assert(paddedConstantBytes(10) == 32 && paddedConstantBytes(64) == 64 &&
              paddedCodeWords(3) == 16);
static_assert(thread_table::size(1) == 5 && thread_table::word(2, thread_table::kStartSlice) == 8);
static_assert(context::kReserved + 1 == context::kSize && context::address(2) == 20);
static_assert(static_cast<uint16_t>(var_type::kStringInFile) == var_type::kString);

}  // namespace vexa::vm
