// The opcode families of the token-code interpreter.
#include <cstdlib>

#include "Interpreter.h"

namespace vxbasic {

void Interpreter::execute(uint8_t op) {
    if (op <= 9 || op == 73) executeFlow(op);
    else if (op <= 17 || (op >= 80 && op <= 84)) executePorts(op);
    else if (op <= 39 || (op >= 70 && op <= 77)) executeMemory(op);
    else if (op <= 66) executeArithmetic(op);
    // every other opcode does nothing
}

void Interpreter::executeFlow(uint8_t op) {
    switch (op) {
    case 1: m_.stack.fill(0); break;
    case 2:  // PAUSE; long pauses in real time are left to the caller by the step
        if (board_.realTime()) {
            const auto ticks = static_cast<uint16_t>(top());
            clock_.sleep(uint32_t{ticks} * 20);
            board_.timer = static_cast<uint16_t>(board_.timer + ticks);
        }
        break;
    case 3: m_.pc = fetchWord(); break;
    case 4: {
        uint16_t target = fetchWord();
        if (top() == 0) m_.pc = target;
        break;
    }
    case 5: {
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
    case 6:
        for (std::size_t i = m_.gosub.size(); i-- > 0;) {
            if (m_.gosub[i] != 0) {
                m_.pc = m_.gosub[i];
                m_.gosub[i] = 0;
                break;
            }
        }
        break;
    case 8: fetchWord(); break;  // SYS: the board's routine is not simulated
    case 9: fetch(); break;      // SLOWMODE
    case 73: m_.interrupt = fetchWord(); break;
    default: break;
    }
}

void Interpreter::executePorts(uint8_t op) {
    switch (op) {
    case 10: push(truth(board_.portBit(fetch()))); break;
    case 11: {
        unsigned i = fetch();
        push(i < 2 ? board_.bytePort(i) : 0);
        break;
    }
    case 12: push(static_cast<int16_t>(board_.levels)); break;
    case 13: {
        unsigned i = fetch();
        if (i < 16) {
            board_.setPortBit(i, static_cast<uint8_t>(top()) != 0);
            board_.driven = static_cast<uint16_t>(board_.driven | 1u << i);
        }
        break;
    }
    case 14: {
        unsigned i = fetch();
        board_.setBytePort(i, static_cast<uint8_t>(top()));
        board_.driven = static_cast<uint16_t>(board_.driven | Board::bytePortMask(i));
        break;
    }
    case 15:
        board_.levels = static_cast<uint16_t>(top());
        board_.driven = 0xFFFF;
        break;
    case 16: push(board_.adcValue(fetch())); break;
    case 17: {
        unsigned i = fetch();
        if (i < board_.dac.size()) board_.dac[i] = static_cast<uint8_t>(top());
        break;
    }
    case 80: {
        unsigned i = fetch();
        if (i < 16) board_.levels = static_cast<uint16_t>(board_.levels ^ 1u << i);
        break;
    }
    case 81: {
        unsigned i = fetch();
        if (i < 16) board_.driven = static_cast<uint16_t>(board_.driven | 1u << i);
        break;
    }
    case 82: {
        unsigned i = fetch();
        if (i < 16) board_.driven = static_cast<uint16_t>(board_.driven & ~(1u << i));
        break;
    }
    case 83:
        board_.driven = static_cast<uint16_t>(board_.driven & ~Board::bytePortMask(fetch()));
        break;
    case 84: board_.driven = 0; break;
    default: break;
    }
}

void Interpreter::executeMemory(uint8_t op) {
    switch (op) {
    case 20: push(static_cast<int16_t>(fetchWord())); break;
    case 21: push(truth(board_.ramBit(fetch()))); break;
    case 22: push(board_.ramByte(fetch())); break;
    case 23: push(static_cast<int16_t>(board_.ramWord(fetch()))); break;
    case 24: board_.setRamBit(fetch(), top() != 0); break;
    case 25: board_.setRamByte(fetch(), static_cast<uint8_t>(top())); break;
    case 26: board_.setRamWord(fetch(), static_cast<uint16_t>(top())); break;
    case 27: {
        const int32_t address = fetchWord() + 2 * int32_t{top()};
        if (address < 0) throw RuntimeError{2};
        const auto a = static_cast<std::size_t>(address);
        push(static_cast<int16_t>(readMemory(a) << 8 | readMemory(a + 1)));
        break;
    }
    case 28: push(board_.loadSystem(fetch())); break;
    case 29: board_.storeSystem(fetch(), top()); break;
    case 30: board_.printNumber(top()); break;
    case 31:
        for (uint8_t c = fetch(); c != 0; c = fetch()) board_.putChar(static_cast<char>(c));
        break;
    case 32: board_.putChar(static_cast<char>(top())); break;
    case 33: push(-1); break;
    case 34: push(static_cast<uint8_t>(m_.inputValue)); break;
    case 35: push(m_.inputValue); break;
    case 36: fetch(); break;  // HANDSHAKE
    case 37: push(-1); break;
    case 70: executeFile(fetch()); break;
    case 71: push(truth(board_.filePosition >= board_.fileLength)); break;
    case 72: fetch(); break;  // BAUD
    case 74:
    case 75: {
        const uint8_t i = fetch();
        const uint16_t target = fetchWord();
        push(op == 74 ? int16_t{board_.ramByte(i)} : static_cast<int16_t>(board_.ramWord(i)));
        if (m_.stack[0] == m_.stack[1]) m_.pc = target;
        break;
    }
    case 76:
    case 77: {
        const uint8_t i = fetch();
        const uint16_t target = fetchWord();
        binary(int32_t{m_.stack[1]} + m_.stack[0]);
        if (op == 76) board_.setRamByte(i, static_cast<uint8_t>(top()));
        else board_.setRamWord(i, static_cast<uint16_t>(top()));
        m_.pc = target;
        break;
    }
    default: break;
    }
}

void Interpreter::executeArithmetic(uint8_t op) {
    const int32_t a = m_.stack[1];
    const int32_t b = m_.stack[0];
    switch (op) {
    case 40: m_.stack[0] = static_cast<int16_t>(~m_.stack[0]); break;
    case 41: binary(a & b); break;
    case 42: binary(~(a & b)); break;
    case 43: binary(a | b); break;
    case 44: binary(~(a | b)); break;
    case 45: binary(a ^ b); break;
    case 46: binary(static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31))); break;
    case 47: binary(a >> (b & 31)); break;
    case 48: {
        uint16_t seed = static_cast<uint16_t>(b);
        if (seed == 0) seed = board_.timer;
        if (seed == 0) seed = 1808;
        m_.seed = seed;
        break;
    }
    case 49:
        m_.seed = static_cast<uint16_t>(uint32_t{m_.seed} * 251);
        push(static_cast<int16_t>(m_.seed));
        break;
    case 50: m_.stack[0] = static_cast<int16_t>(static_cast<uint16_t>(-b)); break;
    case 51: binary(a + b); break;
    case 52: binary(a - b); break;
    case 53: binary(a * b); break;
    case 54:
        if (b == 0) throw RuntimeError{1};
        binary(a / b);
        break;
    case 55:
        if (b == 0) throw RuntimeError{1};
        binary(a % b);
        break;
    case 56: m_.stack[0] = static_cast<int16_t>(static_cast<uint16_t>(std::abs(b))); break;
    case 57: {
        int32_t root = 0;
        if (b > 0) {
            root = 1;
            for (int i = 0; i < 10; ++i) root = (root + b / root) / 2;
        }
        m_.stack[0] = static_cast<int16_t>(root);
        break;
    }
    case 58: binary(a > b ? a : b); break;
    case 59: binary(a < b ? a : b); break;
    case 60: binary(truth(a > b)); break;
    case 61: binary(truth(a >= b)); break;
    case 62: binary(truth(a < b)); break;
    case 63: binary(truth(a <= b)); break;
    case 64: binary(truth(a == b)); break;
    case 65: binary(truth(a != b)); break;
    case 66: m_.stack[0] = static_cast<int16_t>(b > 0 ? 1 : b < 0 ? -1 : 0); break;
    default: break;
    }
}

void Interpreter::executeFile(uint8_t sub) {
    const uint16_t codeEnd = static_cast<uint16_t>((mem_[0] << 8 | mem_[1]) + 4);
    const uint16_t stored = static_cast<uint16_t>(mem_[2] << 8 | mem_[3]);
    switch (sub) {
    case 1:
        board_.fileStart = codeEnd;
        board_.fileLength = stored;
        board_.filePosition = 0;
        break;
    case 2:
        board_.fileStart = codeEnd;
        board_.fileLength = 0;
        board_.filePosition = 0;
        break;
    case 3:
        board_.fileStart = codeEnd;
        board_.fileLength = stored;
        board_.filePosition = stored;
        break;
    case 4:
        mem_[2] = static_cast<uint8_t>(board_.fileLength >> 8);
        mem_[3] = static_cast<uint8_t>(board_.fileLength);
        break;
    case 5: {
        const std::size_t at = std::size_t{board_.fileStart} + board_.filePosition;
        writeMemory(at, static_cast<uint8_t>(static_cast<uint16_t>(top()) >> 8));
        writeMemory(at + 1, static_cast<uint8_t>(top()));
        board_.filePosition = static_cast<uint16_t>(board_.filePosition + 2);
        board_.fileLength = board_.filePosition;
        break;
    }
    case 6: {
        const std::size_t at = std::size_t{board_.fileStart} + board_.filePosition;
        push(static_cast<int16_t>(readMemory(at) << 8 | readMemory(at + 1)));
        board_.filePosition = static_cast<uint16_t>(board_.filePosition + 2);
        break;
    }
    default: break;
    }
}

}  // namespace vxbasic
