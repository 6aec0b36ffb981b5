// The three forms of the VMC image: binary buffer, .vmc text and .dbg text.
#include <cstring>
#include <string>

#include "Procedure.h"
#include "Program.h"
#include "vexa/vm_contract.h"

namespace vexa::vx2 {
namespace {

namespace vm = vexa::vm;

constexpr const char* kLineEnd = "\r\n";

struct Sizes {
  uint32_t bytes, words, paddedBytes, paddedWords;
};

Sizes sizesOf(const CodeGenerator& image) {
  Sizes s;
  s.bytes = static_cast<uint32_t>(image.constantBytes());
  s.words = static_cast<uint32_t>(image.codeCount());
  s.paddedBytes = vm::paddedConstantBytes(s.bytes);
  s.paddedWords = vm::paddedCodeWords(s.words);
  return s;
}

void appendNumber(std::string& out, long long value) {
  out += std::to_string(value);
  out += ' ';
}

// The lines of sizes and constant bytes shared by both files.
void appendHeaderAndConstants(std::string& out, const CodeGenerator& image, const Sizes& s) {
  appendNumber(out, s.paddedBytes);
  out += kLineEnd;
  appendNumber(out, s.paddedWords);
  out += kLineEnd;
  const auto& bytes = image.constantArea();
  for (uint32_t i = 0; i < s.paddedBytes; ++i) {
    if (i % vm::kConstantRowBytes == 0) out += kLineEnd;
    appendNumber(out, i < s.bytes ? bytes[i] : vm::kPaddingByte);
  }
  out += kLineEnd;
}

bool writeAll(std::FILE* file, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}

int ownerWord(const Data& data, bool last) {
  if (data.storage != STORAGE_LOCAL || !data.node || !data.node->parent) return 0;
  auto* procedure = dynamic_cast<const Procedure*>(data.node->parent->symbol.get());
  if (!procedure) return 0;
  return last ? procedure->lastWord : procedure->firstWord;
}

}  // namespace

uint32_t Program::requiredVMCBufferSize() const {
  if (!vmcAvailable_) return 0;
  Sizes s = sizesOf(generator_);
  return vm::binaryImageSize(s.paddedBytes, s.paddedWords);
}

void Program::fillVMCBuffer(uint8_t* buffer) const {
  if (!vmcAvailable_ || !buffer) return;
  Sizes s = sizesOf(generator_);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) buffer[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(0, s.paddedBytes);
  put32(4, s.paddedWords);
  std::memcpy(buffer + vm::kImageHeaderBytes, generator_.constantArea().data(), s.bytes);
  std::memset(buffer + vm::kImageHeaderBytes + s.bytes, vm::kPaddingByte, s.paddedBytes - s.bytes);
  uint8_t* words = buffer + vm::kImageHeaderBytes + s.paddedBytes;
  const auto& code = generator_.code();
  for (uint32_t j = 0; j < s.paddedWords; ++j) {
    uint16_t w = j < s.words ? code[j] : vm::kPaddingWord;
    words[2 * j] = static_cast<uint8_t>(w);
    words[2 * j + 1] = static_cast<uint8_t>(w >> 8);
  }
}

bool Program::writeVMC(std::FILE* vmc) const {
  if (!vmcAvailable_) return true;
  Sizes s = sizesOf(generator_);
  std::string out;
  out.reserve(64 + 4 * s.paddedBytes + 6 * s.paddedWords);
  out += "VX2VMC";
  out += kLineEnd;
  appendHeaderAndConstants(out, generator_, s);
  const auto& code = generator_.code();
  for (uint32_t j = 0; j < s.paddedWords; ++j) {
    if (j % vm::kCodeRowWords == 0) out += kLineEnd;
    appendNumber(out, j < s.words ? code[j] : vm::kPaddingWord);
  }
  out += kLineEnd;
  return writeAll(vmc, out);
}

bool Program::writeVMCAndDebug(std::FILE* vmc, std::FILE* dbg) const {
  if (!vmcAvailable_) return true;
  if (!writeVMC(vmc)) return false;
  Sizes s = sizesOf(generator_);
  std::string out;
  out.reserve(64 + 4 * s.paddedBytes + 12 * s.paddedWords);
  appendHeaderAndConstants(out, generator_, s);
  const auto& code = generator_.code();
  for (uint32_t j = 0; j < s.paddedWords; ++j) {
    if (j % vm::kCodeRowWords == 0) out += kLineEnd;
    // Padding words lie outside any statement.
    appendNumber(out, j < s.words ? wordPositions_[j] : vm::kNoStatement);
    appendNumber(out, j < s.words ? code[j] : vm::kPaddingWord);
  }
  out += kLineEnd;
  out += kLineEnd;
  out += std::to_string(compact_.size());
  for (size_t k = 0; k < compact_.size(); ++k) {
    if (k % 16 == 0) out += kLineEnd;
    appendNumber(out, compact_[k].first);
    appendNumber(out, compact_[k].second);
  }
  out += kLineEnd;
  out += kLineEnd;
  std::string lines;
  int count = 0;
  for (const DataPtr& data : dataSymbols_) {
    if (data->storage == STORAGE_CONSTANT || data->array || data->type()->category == CATEGORY_USER)
      continue;
    auto* variable = dynamic_cast<const Variable*>(data.get());
    int address = variable && variable->linked
                      ? variable->linked->address - 4
                      : (data->address < 0 ? data->address - 4 : data->address);
    int type =
        isStringType(data->type()) ? vm::var_type::kStringInFile : numericKindOf(data->type());
    lines += data->fullName() + " " + std::to_string(data->storage) + " " +
             std::to_string(address) + " " + std::to_string(type) + " " +
             std::to_string(ownerWord(*data, false)) + " " +
             std::to_string(ownerWord(*data, true)) + kLineEnd;
    ++count;
  }
  appendNumber(out, count);
  out += kLineEnd;
  out += lines;
  return writeAll(dbg, out);
}

bool Program::writeOutputFiles(const std::string& baseName, bool withDebugFile) const {
  std::FILE* vmc = std::fopen((baseName + ".vmc").c_str(), "wb");
  std::FILE* dbg = withDebugFile ? std::fopen((baseName + ".dbg").c_str(), "wb") : nullptr;
  bool ok = vmc && (!withDebugFile || dbg);
  if (ok) ok = withDebugFile ? writeVMCAndDebug(vmc, dbg) : writeVMC(vmc);
  if (vmc && std::fclose(vmc) != 0) ok = false;
  if (dbg && std::fclose(dbg) != 0) ok = false;
  return ok;
}

}  // namespace vexa::vx2
