// Code and system-code buffers of one pass, with labels and fix-ups.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "Symbols.h"
#include "TokenCode.h"

namespace vexa::vxbasic {

using vexa::basic::Op;

inline constexpr std::size_t kCodeLimit = 60000;   // error at this count
inline constexpr std::size_t kSysCodeLimit = 255;  // error at this count
using vexa::basic::kCodeOrigin;                    // program-memory address of code byte 0

// An instruction with its operands, sized by the token-code table.
struct Instr {
  constexpr Instr(Op o, uint16_t value = 0, uint16_t target = 0)
      : op(o), operand(value), address(target) {}
  Op op;
  uint16_t operand;  // a byte, a word or an address; the byte of a byte and an address
  uint16_t address;  // the address of a byte and an address
};

class CodeBuffer {
 public:
  CodeBuffer();

  // Stores an instruction; reaching 60000 bytes raises "Programm zu lang".
  void put(Instr instr);
  void put(Op op) { put(Instr{op}); }
  void put(std::initializer_list<Instr> instrs);
  // An instruction whose address is the label's, placed now or at the pass end.
  void putJump(Op op, const std::string& label);
  void putJump(Op op, uint8_t byte, const std::string& label);
  // An instruction with a text operand: the bytes unchanged, then a NUL.
  void putText(Op op, std::string_view text);
  // A data word inline in the code, high byte first.
  void putWord(uint16_t word);
  // Reaching 255 system-code bytes raises "Assemblerprogramm zu lang".
  void putSys(uint8_t byte);

  // Program-memory address of the next code byte.
  uint16_t address() const { return static_cast<uint16_t>(code_.size() + kCodeOrigin); }

  // Labels are upper-case names. `written` is the word that names the
  // label in a duplicate-label message.
  bool hasLabel(const std::string& name) const { return labels_.contains(name); }
  void defineLabel(const std::string& name, const std::string& written);
  void defineLabel(const std::string& name) { defineLabel(name, name); }
  // Writes every placeholder; an unknown label raises "undefiniertes Label"
  // with the line of its first reference. After errors already reported,
  // generated labels of abandoned statements are passed over.
  void resolveFixups(bool errorsReported);

  void setLine(int line) { line_ = line; }
  int line() const { return line_; }

  const std::vector<uint8_t>& code() const { return code_; }
  const std::vector<uint8_t>& sysCode() const { return sysCode_; }

 private:
  void putByte(uint8_t byte);
  // Emits the label's address, or a placeholder resolved at the pass end.
  void putLabelRef(const std::string& name);

  struct Fixup {
    std::string label;
    int line;
    std::size_t position;
  };

  std::vector<uint8_t> code_;
  std::vector<uint8_t> sysCode_;
  NameTable<uint16_t> labels_;
  std::vector<Fixup> fixups_;
  int line_ = 0;
};

// Throws the compile error of `code` on the current line.
[[noreturn]] void raise(int line, int code, std::string text);

}  // namespace vexa::vxbasic
