// The VM instruction set: one row per defined instruction.
//
// X(name, class, number, byte kind, operand kind, popped bytes, pushed bytes, flags)
//
// Popped and pushed bytes are the fixed stack effect; Varies means the effect depends on
// the byte or the operand (operator groups, modules, returns). This list is the only place
// that spells an opcode number; everything else goes through the names.
#pragma once

// clang-format off
#define VEXA_ISA_INSTRUCTIONS(X) \
  /* class 0x00: one word, the word value is the number */ \
  X(Nop,              0x00,  0, None, None, 0, 0, 0) \
  X(Stop,             0x00,  1, None, None, 2, 0, 0) \
  X(Yield,            0x00,  2, None, None, 0, 0, 0) \
  X(Sleep,            0x00,  3, None, None, 2, 0, 0) \
  X(Capture,          0x00,  4, None, None, 2, 0, 0) \
  X(Release,          0x00,  5, None, None, 0, 0, 0) \
  X(Return,           0x00,  6, None, None, 4, 0, 0) \
  X(AddFrame,         0x00,  7, None, None, 2, 2, 0) \
  X(PushConstByteAt,  0x00,  8, None, None, 2, 2, 0) \
  X(PushConstIntAt,   0x00,  9, None, None, 2, 2, 0) \
  X(PushConstLongAt,  0x00, 10, None, None, 2, 4, 0) \
  X(PushConstFloatAt, 0x00, 11, None, None, 2, 8, 0) \
  X(LoadByteAt,       0x00, 12, None, None, 2, 2, 0) \
  X(LoadIntAt,        0x00, 13, None, None, 2, 2, 0) \
  X(LoadLongAt,       0x00, 14, None, None, 2, 4, 0) \
  X(LoadFloatAt,      0x00, 15, None, None, 2, 8, 0) \
  X(IncByteAt,        0x00, 16, None, None, 2, 2, 0) \
  X(IncIntAt,         0x00, 17, None, None, 2, 2, 0) \
  X(IncLongAt,        0x00, 18, None, None, 2, 4, 0) \
  X(IncFloatAt,       0x00, 19, None, None, 2, 8, 0) \
  X(StoreByteAt,      0x00, 20, None, None, 4, 0, StoresRam) \
  X(StoreIntAt,       0x00, 21, None, None, 4, 0, StoresRam) \
  X(StoreLongAt,      0x00, 22, None, None, 6, 0, StoresRam) \
  X(StoreFloatAt,     0x00, 23, None, None, 10, 0, StoresRam) \
  X(IntToLong,        0x00, 24, None, None, 2, 4, 0) \
  X(IntToFloat,       0x00, 25, None, None, 2, 8, 0) \
  X(LongToInt,        0x00, 26, None, None, 4, 2, 0) \
  X(LongToFloat,      0x00, 27, None, None, 4, 8, 0) \
  X(FloatToInt,       0x00, 28, None, None, 8, 2, 0) \
  X(FloatToLong,      0x00, 29, None, None, 8, 4, 0) \
  X(NotInt,           0x00, 30, None, None, 2, 2, 0) \
  X(NotLong,          0x00, 31, None, None, 4, 4, 0) \
  X(NotFloat,         0x00, 32, None, None, 8, 2, 0) \
  X(NegInt,           0x00, 33, None, None, 2, 2, 0) \
  X(NegLong,          0x00, 34, None, None, 4, 4, 0) \
  X(NegFloat,         0x00, 35, None, None, 8, 8, 0) \
  X(AbsInt,           0x00, 36, None, None, 2, 2, 0) \
  X(AbsLong,          0x00, 37, None, None, 4, 4, 0) \
  X(AbsFloat,         0x00, 38, None, None, 8, 8, 0) \
  X(StoreIntBE,       0x00, 39, None, None, 6, 0, StoresRam) \
  X(StoreLongBE,      0x00, 40, None, None, 8, 0, StoresRam) \
  X(StoreFloatAtSum,  0x00, 41, None, None, 12, 0, StoresRam) \
  X(LoadIntBE,        0x00, 42, None, None, 4, 2, 0) \
  X(LoadLongBE,       0x00, 43, None, None, 4, 4, 0) \
  X(LoadFloatAtSum,   0x00, 44, None, None, 4, 8, 0) \
  X(PortBitGet,       0x00, 45, None, None, 2, 2, 0) \
  X(PortNibbleGet,    0x00, 46, None, None, 2, 2, 0) \
  X(PortByteGet,      0x00, 47, None, None, 2, 2, 0) \
  X(PortWordGet,      0x00, 48, None, None, 2, 2, 0) \
  X(AdcGet,           0x00, 49, None, None, 2, 2, 0) \
  X(PortBitSet,       0x00, 50, None, None, 4, 0, 0) \
  X(PortNibbleSet,    0x00, 51, None, None, 4, 0, 0) \
  X(PortByteSet,      0x00, 52, None, None, 4, 0, 0) \
  X(PortWordSet,      0x00, 53, None, None, 4, 0, 0) \
  X(PortBitDeact,     0x00, 54, None, None, 2, 0, 0) \
  X(PortNibbleDeact,  0x00, 55, None, None, 2, 0, 0) \
  X(PortByteDeact,    0x00, 56, None, None, 2, 0, 0) \
  X(PortWordDeact,    0x00, 57, None, None, 2, 0, 0) \
  X(PortBitToggle,    0x00, 58, None, None, 2, 0, 0) \
  X(PortBitPulse,     0x00, 59, None, None, 2, 0, 0) \
  X(CounterGet,       0x00, 60, None, None, 2, 4, 0) \
  X(FrequencyGet,     0x00, 61, None, None, 2, 4, 0) \
  X(PopTwoA,          0x00, 62, None, None, 4, 0, 0) \
  X(PopTwoB,          0x00, 63, None, None, 4, 0, 0) \
  /* class 0x40: one word with a byte */ \
  X(Nop1,               0x40,  0, Ignored,      None, 0, 0, 0) \
  X(ThreadStart,        0x40,  1, Thread,       None, 0, 0, 0) \
  X(ThreadSetSlice,     0x40,  2, Thread,       None, 2, 0, 0) \
  X(ThreadRestoreSlice, 0x40,  3, Thread,       None, 0, 0, 0) \
  X(PushByte,           0x40,  4, Immediate,    None, 0, 2, 0) \
  X(Add,                0x40,  5, TypePair,     None, Varies, Varies, 0) \
  X(Sub,                0x40,  6, TypePair,     None, Varies, Varies, 0) \
  X(Mul,                0x40,  7, TypePair,     None, Varies, Varies, 0) \
  X(Div,                0x40,  8, TypePair,     None, Varies, Varies, 0) \
  X(Mod,                0x40,  9, TypePair,     None, Varies, Varies, 0) \
  X(Equal,              0x40, 10, TypePair,     None, Varies, 2, 0) \
  X(NotEqual,           0x40, 11, TypePair,     None, Varies, 2, 0) \
  X(Greater,            0x40, 12, TypePair,     None, Varies, 2, 0) \
  X(GreaterEqual,       0x40, 13, TypePair,     None, Varies, 2, 0) \
  X(Less,               0x40, 14, TypePair,     None, Varies, 2, 0) \
  X(LessEqual,          0x40, 15, TypePair,     None, Varies, 2, 0) \
  X(And,                0x40, 16, TypePair,     None, Varies, Varies, 0) \
  X(Nand,               0x40, 17, TypePair,     None, Varies, Varies, 0) \
  X(Or,                 0x40, 18, TypePair,     None, Varies, Varies, 0) \
  X(Nor,                0x40, 19, TypePair,     None, Varies, Varies, 0) \
  X(Xor,                0x40, 20, TypePair,     None, Varies, Varies, 0) \
  X(Xnor,               0x40, 21, TypePair,     None, Varies, Varies, 0) \
  X(Shl,                0x40, 22, TypePair,     None, Varies, Varies, 0) \
  X(Shr,                0x40, 23, TypePair,     None, Varies, Varies, 0) \
  X(Sar,                0x40, 24, TypePair,     None, Varies, Varies, 0) \
  X(Group25,            0x40, 25, TypePair,     None, Varies, Varies, 0) \
  X(Group26,            0x40, 26, TypePair,     None, Varies, Varies, 0) \
  X(Min,                0x40, 27, TypePair,     None, Varies, Varies, 0) \
  X(Max,                0x40, 28, TypePair,     None, Varies, Varies, 0) \
  X(MathFunc,           0x40, 29, MathFunction, None, Varies, Varies, 0) \
  X(DateTimeGet,        0x40, 30, SubFunction,  None, 0, 2, 0) \
  X(TimerSet16,         0x40, 31, Ignored,      None, 2, 0, 0) \
  X(ClockGet,           0x40, 32, SubFunction,  None, 0, 4, 0) \
  X(TimerSet32,         0x40, 33, Ignored,      None, 4, 0, 0) \
  X(StringFunc,         0x40, 34, SubFunction,  None, Varies, Varies, 0) \
  X(PlmFunc,            0x40, 35, SubFunction,  None, Varies, Varies, 0) \
  X(SerialFunc,         0x40, 36, SubFunction,  None, Varies, Varies, 0) \
  X(Device37Func,       0x40, 37, SubFunction,  None, Varies, Varies, 0) \
  X(Device38Func,       0x40, 38, SubFunction,  None, Varies, Varies, 0) \
  X(Device39Func,       0x40, 39, SubFunction,  None, Varies, Varies, 0) \
  X(Device40Func,       0x40, 40, SubFunction,  None, Varies, Varies, 0) \
  X(Device41Func,       0x40, 41, SubFunction,  None, Varies, Varies, 0) \
  X(LcdFunc,            0x40, 42, SubFunction,  None, Varies, Varies, 0) \
  /* class 0x80: a word and its operand word */ \
  X(Nop2,           0x80,  0, None, Ignored,     0, 0, 0) \
  X(Call,           0x80,  1, None, CodeAddress, 0, 4, 0) \
  X(ReturnN,        0x80,  2, None, ByteCount,   Varies, Varies, 0) \
  X(AdjustSp,       0x80,  3, None, ByteCount,   Varies, Varies, 0) \
  X(Jump,           0x80,  4, None, JumpOffset,  0, 0, 0) \
  X(JumpIfFalse,    0x80,  5, None, JumpOffset,  2, 0, 0) \
  X(PushInt,        0x80,  6, None, Immediate,   0, 2, 0) \
  X(PushConstByte,  0x80,  7, None, ConstIndex,  0, 2, 0) \
  X(PushConstInt,   0x80,  8, None, ConstIndex,  0, 2, 0) \
  X(PushConstLong,  0x80,  9, None, ConstIndex,  0, 4, 0) \
  X(PushConstFloat, 0x80, 10, None, ConstIndex,  0, 8, 0) \
  X(LoadByte,       0x80, 11, None, Address,     0, 2, 0) \
  X(LoadInt,        0x80, 12, None, Address,     0, 2, 0) \
  X(LoadLong,       0x80, 13, None, Address,     0, 4, 0) \
  X(LoadFloat,      0x80, 14, None, Address,     0, 8, 0) \
  X(LoadLocalByte,  0x80, 15, None, FrameOffset, 0, 2, 0) \
  X(LoadLocalInt,   0x80, 16, None, FrameOffset, 0, 2, 0) \
  X(LoadLocalLong,  0x80, 17, None, FrameOffset, 0, 4, 0) \
  X(LoadLocalFloat, 0x80, 18, None, FrameOffset, 0, 8, 0) \
  X(StoreByte,      0x80, 19, None, Address,     2, 0, StoresRam) \
  X(StoreInt,       0x80, 20, None, Address,     2, 0, StoresRam) \
  X(StoreLong,      0x80, 21, None, Address,     4, 0, StoresRam) \
  X(StoreFloat,     0x80, 22, None, Address,     8, 0, StoresRam) \
  X(StoreLocalByte, 0x80, 23, None, FrameOffset, 2, 0, StoresRam) \
  X(StoreLocalInt,  0x80, 24, None, FrameOffset, 2, 0, StoresRam) \
  X(StoreLocalLong, 0x80, 25, None, FrameOffset, 4, 0, StoresRam) \
  X(StoreLocalFloat,0x80, 26, None, FrameOffset, 8, 0, StoresRam) \
  X(PutByte,        0x80, 27, None, Address,     2, 2, StoresRam) \
  X(PutInt,         0x80, 28, None, Address,     2, 2, StoresRam) \
  X(PutLong,        0x80, 29, None, Address,     4, 4, StoresRam) \
  X(PutFloat,       0x80, 30, None, Address,     8, 8, StoresRam) \
  X(PutLocalByte,   0x80, 31, None, FrameOffset, 2, 2, StoresRam) \
  X(PutLocalInt,    0x80, 32, None, FrameOffset, 2, 2, StoresRam) \
  X(PutLocalLong,   0x80, 33, None, FrameOffset, 4, 4, StoresRam) \
  X(PutLocalFloat,  0x80, 34, None, FrameOffset, 8, 8, StoresRam) \
  X(IncByte,        0x80, 35, None, Address,     0, 2, 0) \
  X(IncInt,         0x80, 36, None, Address,     0, 2, 0) \
  X(IncLong,        0x80, 37, None, Address,     0, 4, 0) \
  X(IncFloat,       0x80, 38, None, Address,     0, 8, 0) \
  X(IncLocalByte,   0x80, 39, None, FrameOffset, 0, 2, 0) \
  X(IncLocalInt,    0x80, 40, None, FrameOffset, 0, 2, 0) \
  X(IncLocalLong,   0x80, 41, None, FrameOffset, 0, 4, 0) \
  X(IncLocalFloat,  0x80, 42, None, FrameOffset, 0, 8, 0) \
  /* class 0xC0: a word with a byte, and its operand word */ \
  X(Nop3,          0xC0,  0, Ignored,    Ignored,   0, 0, 0) \
  X(ReturnValue,   0xC0,  1, ResultType, ByteCount, Varies, Varies, 0) \
  X(PushZeroByte,  0xC0,  2, Ignored,    Ignored,   0, 2, 0) \
  X(PushZeroInt,   0xC0,  3, Ignored,    Ignored,   0, 2, 0) \
  X(PushZeroLong,  0xC0,  4, Ignored,    Ignored,   0, 4, 0) \
  X(PushZeroFloat, 0xC0,  5, Ignored,    Ignored,   0, 8, 0) \
  X(DropByte,      0xC0,  6, Ignored,    Ignored,   2, 0, 0) \
  X(DropInt,       0xC0,  7, Ignored,    Ignored,   2, 0, 0) \
  X(DropLong,      0xC0,  8, Ignored,    Ignored,   4, 0, 0) \
  X(DropFloat,     0xC0,  9, Ignored,    Ignored,   8, 0, 0) \
  X(Nop3A,         0xC0, 10, Ignored,    Ignored,   0, 0, 0) \
  X(Nop3B,         0xC0, 11, Ignored,    Ignored,   0, 0, 0) \
  X(PopFour,       0xC0, 12, Ignored,    Ignored,   8, 0, 0) \
  X(Fill,          0xC0, 63, Ignored,    Ignored,   0, 0, 0)
// clang-format on
