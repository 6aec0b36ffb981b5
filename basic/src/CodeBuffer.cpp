#include "CodeBuffer.h"

#include <cassert>

#include "CompileError.h"

namespace vexa::vxbasic {

void raise(int line, int code, std::string text) {
  throw CompileError{line, code, std::move(text)};
}

CodeBuffer::CodeBuffer() { code_.reserve(1024); }

void CodeBuffer::putByte(uint8_t byte) {
  code_.push_back(byte);
  if (code_.size() >= kCodeLimit) raise(line_, kProgramTooLong, errorText(kProgramTooLong));
}

void CodeBuffer::putWord(uint16_t word) {
  putByte(static_cast<uint8_t>(word >> 8));
  putByte(static_cast<uint8_t>(word));
}

void CodeBuffer::put(Instr instr) {
  using vexa::basic::OperandKind;
  putByte(vexa::basic::byteOf(instr.op));
  switch (vexa::basic::operandOf(instr.op)) {
    case OperandKind::None: break;
    case OperandKind::Byte: putByte(static_cast<uint8_t>(instr.operand)); break;
    case OperandKind::Word:
    case OperandKind::Address:
    case OperandKind::Line: putWord(instr.operand); break;
    case OperandKind::ByteAddress:
      putByte(static_cast<uint8_t>(instr.operand));
      putWord(instr.address);
      break;
    case OperandKind::Text: assert(!"text operands go through putText"); break;
  }
}

void CodeBuffer::put(std::initializer_list<Instr> instrs) {
  for (const Instr& i : instrs) put(i);
}

void CodeBuffer::putJump(Op op, const std::string& label) {
  assert(vexa::basic::operandOf(op) == vexa::basic::OperandKind::Address);
  putByte(vexa::basic::byteOf(op));
  putLabelRef(label);
}

void CodeBuffer::putJump(Op op, uint8_t byte, const std::string& label) {
  assert(vexa::basic::operandOf(op) == vexa::basic::OperandKind::ByteAddress);
  putByte(vexa::basic::byteOf(op));
  putByte(byte);
  putLabelRef(label);
}

void CodeBuffer::putText(Op op, std::string_view text) {
  assert(vexa::basic::operandOf(op) == vexa::basic::OperandKind::Text);
  putByte(vexa::basic::byteOf(op));
  for (char c : text) putByte(static_cast<uint8_t>(c));
  putByte(0);
}

void CodeBuffer::putSys(uint8_t byte) {
  sysCode_.push_back(byte);
  if (sysCode_.size() >= kSysCodeLimit) raise(line_, kSysCodeTooLong, errorText(kSysCodeTooLong));
}

void CodeBuffer::defineLabel(const std::string& name, const std::string& written) {
  if (labels_.contains(name)) raise(line_, kDuplicateLabel, errorText(kDuplicateLabel, written));
  labels_.add(name, address());
}

void CodeBuffer::putLabelRef(const std::string& name) {
  if (auto addr = labels_.find(name)) {
    putWord(*addr);
    return;
  }
  std::size_t position = code_.size();
  putWord(0);
  fixups_.push_back({name, line_, position});
}

namespace {
// Generated statement and branch labels stay undefined only when the
// statement that owned them was abandoned by an error already reported.
bool isNumberedLabel(const std::string& name) {
  const std::string prefix = "__LABEL_";
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  return true;
}
}  // namespace

void CodeBuffer::resolveFixups(bool errorsReported) {
  for (const Fixup& f : fixups_) {
    auto addr = labels_.find(f.label);
    if (!addr) {
      if (errorsReported && isNumberedLabel(f.label)) continue;
      raise(f.line, kUndefinedLabel, errorText(kUndefinedLabel, f.label));
    }
    code_[f.position] = static_cast<uint8_t>(*addr >> 8);
    code_[f.position + 1] = static_cast<uint8_t>(*addr);
  }
}

}  // namespace vexa::vxbasic
