// The opcode families of the token-code interpreter.
#include <cstdlib>

#include "Interpreter.h"

namespace vexa::vxbasic {

using vexa::basic::Family;
using vexa::basic::familyOf;
using vexa::basic::FileOp;

void Interpreter::execute(uint8_t byte) {
  const auto op = static_cast<Op>(byte);
  switch (familyOf(byte)) {
    case Family::Flow: executeFlow(op); break;
    case Family::Ports: executePorts(op); break;
    case Family::Memory: executeMemory(op); break;
    case Family::Arithmetic: executeArithmetic(op); break;
    case Family::Step:       // the step loop's own
    case Family::Undefined:  // does nothing
      break;
  }
}

void Interpreter::executeFlow(Op op) {
  switch (op) {
    case Op::ClearStack: m_.stack.fill(0); break;
    case Op::Pause:  // long pauses in real time are left to the caller by the step
      if (board_.realTime()) {
        const auto ticks = static_cast<uint16_t>(top());
        clock_.sleep(uint32_t{ticks} * 20);
        board_.timer = static_cast<uint16_t>(board_.timer + ticks);
      }
      break;
    case Op::Jump: m_.pc = fetchWord(); break;
    case Op::JumpIfZero: {
      uint16_t target = fetchWord();
      if (top() == 0) m_.pc = target;
      break;
    }
    case Op::Gosub: {
      uint16_t target = fetchWord();
      for (uint16_t& slot : m_.gosub) {
        if (slot == 0) {
          slot = m_.pc;
          break;
        }
      }
      m_.pc = target;
      break;
    }
    case Op::Return:
      for (std::size_t i = m_.gosub.size(); i-- > 0;) {
        if (m_.gosub[i] != 0) {
          m_.pc = m_.gosub[i];
          m_.gosub[i] = 0;
          break;
        }
      }
      break;
    case Op::Sys: fetchWord(); break;  // the board's routine is not simulated
    case Op::SlowMode: fetch(); break;
    case Op::Interrupt: m_.interrupt = fetchWord(); break;
    default: break;
  }
}

void Interpreter::executePorts(Op op) {
  switch (op) {
    case Op::LoadPortBit: push(truth(board_.portBit(fetch()))); break;
    case Op::LoadBytePort: {
      unsigned i = fetch();
      push(i < 2 ? board_.bytePort(i) : 0);
      break;
    }
    case Op::LoadWordPort: push(static_cast<int16_t>(board_.levels)); break;
    case Op::StorePortBit: {
      unsigned i = fetch();
      if (i < 16) {
        board_.setPortBit(i, static_cast<uint8_t>(top()) != 0);
        board_.driven = static_cast<uint16_t>(board_.driven | 1u << i);
      }
      break;
    }
    case Op::StoreBytePort: {
      unsigned i = fetch();
      board_.setBytePort(i, static_cast<uint8_t>(top()));
      board_.driven = static_cast<uint16_t>(board_.driven | Board::bytePortMask(i));
      break;
    }
    case Op::StoreWordPort:
      board_.levels = static_cast<uint16_t>(top());
      board_.driven = 0xFFFF;
      break;
    case Op::LoadAnalogIn: push(board_.adcValue(fetch())); break;
    case Op::StoreAnalogOut: {
      unsigned i = fetch();
      if (i < board_.dac.size()) board_.dac[i] = static_cast<uint8_t>(top());
      break;
    }
    case Op::TogglePort: {
      unsigned i = fetch();
      if (i < 16) board_.levels = static_cast<uint16_t>(board_.levels ^ 1u << i);
      break;
    }
    case Op::PulsePort: {
      unsigned i = fetch();
      if (i < 16) board_.driven = static_cast<uint16_t>(board_.driven | 1u << i);
      break;
    }
    case Op::DeactPort: {
      unsigned i = fetch();
      if (i < 16) board_.driven = static_cast<uint16_t>(board_.driven & ~(1u << i));
      break;
    }
    case Op::DeactBytePort:
      board_.driven = static_cast<uint16_t>(board_.driven & ~Board::bytePortMask(fetch()));
      break;
    case Op::DeactWordPort: board_.driven = 0; break;
    default: break;
  }
}

void Interpreter::executeMemory(Op op) {
  switch (op) {
    case Op::Push: push(static_cast<int16_t>(fetchWord())); break;
    case Op::LoadBit: push(truth(board_.ramBit(fetch()))); break;
    case Op::LoadByte: push(board_.ramByte(fetch())); break;
    case Op::LoadWord: push(static_cast<int16_t>(board_.ramWord(fetch()))); break;
    case Op::StoreBit: board_.setRamBit(fetch(), top() != 0); break;
    case Op::StoreByte: board_.setRamByte(fetch(), static_cast<uint8_t>(top())); break;
    case Op::StoreWord: board_.setRamWord(fetch(), static_cast<uint16_t>(top())); break;
    case Op::LookTab: {
      const int32_t address = fetchWord() + 2 * int32_t{top()};
      if (address < 0) throw RuntimeError{2};
      const auto a = static_cast<std::size_t>(address);
      push(static_cast<int16_t>(readMemory(a) << 8 | readMemory(a + 1)));
      break;
    }
    case Op::LoadSystem: push(board_.loadSystem(fetch())); break;
    case Op::StoreSystem: board_.storeSystem(fetch(), top()); break;
    case Op::PrintNumber: board_.printNumber(top()); break;
    case Op::PrintText:
      for (uint8_t c = fetch(); c != 0; c = fetch()) board_.putChar(static_cast<char>(c));
      break;
    case Op::Put: board_.putChar(static_cast<char>(top())); break;
    case Op::Rxd: push(-1); break;
    case Op::Get: push(static_cast<uint8_t>(m_.inputValue)); break;
    case Op::Input: push(m_.inputValue); break;
    case Op::Handshake: fetch(); break;
    case Op::Cts: push(-1); break;
    case Op::File: executeFile(static_cast<FileOp>(fetch())); break;
    case Op::Eof: push(truth(board_.filePosition >= board_.fileLength)); break;
    case Op::Baud: fetch(); break;
    case Op::LoopTestByte:
    case Op::LoopTestWord: {
      const uint8_t i = fetch();
      const uint16_t target = fetchWord();
      push(op == Op::LoopTestByte ? int16_t{board_.ramByte(i)}
                                  : static_cast<int16_t>(board_.ramWord(i)));
      if (m_.stack[0] == m_.stack[1]) m_.pc = target;
      break;
    }
    case Op::LoopStepByte:
    case Op::LoopStepWord: {
      const uint8_t i = fetch();
      const uint16_t target = fetchWord();
      binary(int32_t{m_.stack[1]} + m_.stack[0]);
      if (op == Op::LoopStepByte)
        board_.setRamByte(i, static_cast<uint8_t>(top()));
      else
        board_.setRamWord(i, static_cast<uint16_t>(top()));
      m_.pc = target;
      break;
    }
    default: break;
  }
}

void Interpreter::executeArithmetic(Op op) {
  const int32_t a = m_.stack[1];
  const int32_t b = m_.stack[0];
  switch (op) {
    case Op::Not: m_.stack[0] = static_cast<int16_t>(~m_.stack[0]); break;
    case Op::And: binary(a & b); break;
    case Op::Nand: binary(~(a & b)); break;
    case Op::Or: binary(a | b); break;
    case Op::Nor: binary(~(a | b)); break;
    case Op::Xor: binary(a ^ b); break;
    case Op::Shl: binary(static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31))); break;
    case Op::Shr: binary(a >> (b & 31)); break;
    case Op::Randomize: {
      uint16_t seed = static_cast<uint16_t>(b);
      if (seed == 0) seed = board_.timer;
      if (seed == 0) seed = 1808;
      m_.seed = seed;
      break;
    }
    case Op::Rand:
      m_.seed = static_cast<uint16_t>(uint32_t{m_.seed} * 251);
      push(static_cast<int16_t>(m_.seed));
      break;
    case Op::Negate: m_.stack[0] = static_cast<int16_t>(static_cast<uint16_t>(-b)); break;
    case Op::Add: binary(a + b); break;
    case Op::Subtract: binary(a - b); break;
    case Op::Multiply: binary(a * b); break;
    case Op::Divide:
      if (b == 0) throw RuntimeError{1};
      binary(a / b);
      break;
    case Op::Modulo:
      if (b == 0) throw RuntimeError{1};
      binary(a % b);
      break;
    case Op::Abs: m_.stack[0] = static_cast<int16_t>(static_cast<uint16_t>(std::abs(b))); break;
    case Op::Sqr: {
      int32_t root = 0;
      if (b > 0) {
        root = 1;
        for (int i = 0; i < 10; ++i) root = (root + b / root) / 2;
      }
      m_.stack[0] = static_cast<int16_t>(root);
      break;
    }
    case Op::Max: binary(a > b ? a : b); break;
    case Op::Min: binary(a < b ? a : b); break;
    case Op::Greater: binary(truth(a > b)); break;
    case Op::GreaterEqual: binary(truth(a >= b)); break;
    case Op::Less: binary(truth(a < b)); break;
    case Op::LessEqual: binary(truth(a <= b)); break;
    case Op::Equal: binary(truth(a == b)); break;
    case Op::NotEqual: binary(truth(a != b)); break;
    case Op::Sgn: m_.stack[0] = static_cast<int16_t>(b > 0 ? 1 : b < 0 ? -1 : 0); break;
    default: break;
  }
}

void Interpreter::executeFile(FileOp sub) {
  const uint16_t codeEnd = static_cast<uint16_t>((mem_[0] << 8 | mem_[1]) + 4);
  const uint16_t stored = static_cast<uint16_t>(mem_[2] << 8 | mem_[3]);
  switch (sub) {
    case FileOp::OpenRead:
      board_.fileStart = codeEnd;
      board_.fileLength = stored;
      board_.filePosition = 0;
      break;
    case FileOp::OpenWrite:
      board_.fileStart = codeEnd;
      board_.fileLength = 0;
      board_.filePosition = 0;
      break;
    case FileOp::OpenAppend:
      board_.fileStart = codeEnd;
      board_.fileLength = stored;
      board_.filePosition = stored;
      break;
    case FileOp::Close:
      mem_[2] = static_cast<uint8_t>(board_.fileLength >> 8);
      mem_[3] = static_cast<uint8_t>(board_.fileLength);
      break;
    case FileOp::Write: {
      const std::size_t at = std::size_t{board_.fileStart} + board_.filePosition;
      writeMemory(at, static_cast<uint8_t>(static_cast<uint16_t>(top()) >> 8));
      writeMemory(at + 1, static_cast<uint8_t>(top()));
      board_.filePosition = static_cast<uint16_t>(board_.filePosition + 2);
      board_.fileLength = board_.filePosition;
      break;
    }
    case FileOp::Read: {
      const std::size_t at = std::size_t{board_.fileStart} + board_.filePosition;
      push(static_cast<int16_t>(readMemory(at) << 8 | readMemory(at + 1)));
      board_.filePosition = static_cast<uint16_t>(board_.filePosition + 2);
      break;
    }
    default: break;
  }
}

}  // namespace vexa::vxbasic
