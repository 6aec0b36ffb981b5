// The token code of the first-generation board: one row per opcode.
//
// X(name, number, operand kind, family)
//
// Operand kinds: None; Byte (an index or a small value); Word (a 16-bit value); Address (a
// program-memory address); ByteAddress (a byte, then an address); Text (bytes up to a NUL);
// Line (a source line number). Multi-byte operands are high byte first.
//
// The family names the interpreter's function that executes the opcode; Step opcodes are
// handled by the step loop alone. Opcode numbers missing here do nothing when executed.
// This list is the only place that spells an opcode number.
#pragma once

// clang-format off
#define VXBASIC_TOKEN_CODES(X) \
  X(Nop,             0, None,        Flow) \
  X(ClearStack,      1, None,        Flow) \
  X(Pause,           2, None,        Flow) \
  X(Jump,            3, Address,     Flow) \
  X(JumpIfZero,      4, Address,     Flow) \
  X(Gosub,           5, Address,     Flow) \
  X(Return,          6, None,        Flow) \
  X(ReturnInterrupt, 7, None,        Flow) \
  X(Sys,             8, Address,     Flow) \
  X(SlowMode,        9, Byte,        Flow) \
  X(LoadPortBit,    10, Byte,        Ports) \
  X(LoadBytePort,   11, Byte,        Ports) \
  X(LoadWordPort,   12, None,        Ports) \
  X(StorePortBit,   13, Byte,        Ports) \
  X(StoreBytePort,  14, Byte,        Ports) \
  X(StoreWordPort,  15, None,        Ports) \
  X(LoadAnalogIn,   16, Byte,        Ports) \
  X(StoreAnalogOut, 17, Byte,        Ports) \
  X(Push,           20, Word,        Memory) \
  X(LoadBit,        21, Byte,        Memory) \
  X(LoadByte,       22, Byte,        Memory) \
  X(LoadWord,       23, Byte,        Memory) \
  X(StoreBit,       24, Byte,        Memory) \
  X(StoreByte,      25, Byte,        Memory) \
  X(StoreWord,      26, Byte,        Memory) \
  X(LookTab,        27, Address,     Memory) \
  X(LoadSystem,     28, Byte,        Memory) \
  X(StoreSystem,    29, Byte,        Memory) \
  X(PrintNumber,    30, None,        Memory) \
  X(PrintText,      31, Text,        Memory) \
  X(Put,            32, None,        Memory) \
  X(Rxd,            33, None,        Memory) \
  X(Get,            34, None,        Memory) \
  X(Input,          35, None,        Memory) \
  X(Handshake,      36, Byte,        Memory) \
  X(Cts,            37, None,        Memory) \
  X(Not,            40, None,        Arithmetic) \
  X(And,            41, None,        Arithmetic) \
  X(Nand,           42, None,        Arithmetic) \
  X(Or,             43, None,        Arithmetic) \
  X(Nor,            44, None,        Arithmetic) \
  X(Xor,            45, None,        Arithmetic) \
  X(Shl,            46, None,        Arithmetic) \
  X(Shr,            47, None,        Arithmetic) \
  X(Randomize,      48, None,        Arithmetic) \
  X(Rand,           49, None,        Arithmetic) \
  X(Negate,         50, None,        Arithmetic) \
  X(Add,            51, None,        Arithmetic) \
  X(Subtract,       52, None,        Arithmetic) \
  X(Multiply,       53, None,        Arithmetic) \
  X(Divide,         54, None,        Arithmetic) \
  X(Modulo,         55, None,        Arithmetic) \
  X(Abs,            56, None,        Arithmetic) \
  X(Sqr,            57, None,        Arithmetic) \
  X(Max,            58, None,        Arithmetic) \
  X(Min,            59, None,        Arithmetic) \
  X(Greater,        60, None,        Arithmetic) \
  X(GreaterEqual,   61, None,        Arithmetic) \
  X(Less,           62, None,        Arithmetic) \
  X(LessEqual,      63, None,        Arithmetic) \
  X(Equal,          64, None,        Arithmetic) \
  X(NotEqual,       65, None,        Arithmetic) \
  X(Sgn,            66, None,        Arithmetic) \
  X(File,           70, Byte,        Memory) \
  X(Eof,            71, None,        Memory) \
  X(Baud,           72, Byte,        Memory) \
  X(Interrupt,      73, Address,     Flow) \
  X(LoopTestByte,   74, ByteAddress, Memory) \
  X(LoopTestWord,   75, ByteAddress, Memory) \
  X(LoopStepByte,   76, ByteAddress, Memory) \
  X(LoopStepWord,   77, ByteAddress, Memory) \
  X(TogglePort,     80, Byte,        Ports) \
  X(PulsePort,      81, Byte,        Ports) \
  X(DeactPort,      82, Byte,        Ports) \
  X(DeactBytePort,  83, Byte,        Ports) \
  X(DeactWordPort,  84, None,        Ports) \
  X(WaitMark,      253, None,        Step) \
  X(LineMarker,    254, Line,        Step) \
  X(End,           255, None,        Step)
// clang-format on
