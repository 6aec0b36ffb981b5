// Hand-assembles small programs through the instruction-set helpers and writes them as the
// compiler's .dbg text.
#pragma once

#include <unistd.h>
#include <vexa/isa.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vexa::vx2sim::test {

using vexa::isa::Op;

struct ThreadEntry {
  uint16_t pc;
  uint16_t frame;
  uint16_t sp;
  uint16_t slice;
};

class ProgramBuilder {
 public:
  static constexpr uint16_t kNone = 0xFFFF;

  // The thread table takes the front of the constant image.
  explicit ProgramBuilder(int threadCount) : threads_(threadCount) {
    constants_.resize(2 + 8 * threadCount, 0);
    constants_[0] = static_cast<uint8_t>(threadCount);
  }

  void thread(int number, ThreadEntry e) { threads_.at(number - 1) = e; }

  // Constant at an even offset; returns its index.
  template <typename T>
  uint16_t constant(T value) {
    if (constants_.size() % 2) constants_.push_back(0);
    const uint16_t k = static_cast<uint16_t>(constants_.size() / 2);
    constants_.resize(constants_.size() + sizeof(T));
    std::memcpy(&constants_[2u * k], &value, sizeof(T));
    return k;
  }
  void rawConstants(const std::vector<uint8_t>& bytes) {
    constants_.insert(constants_.end(), bytes.begin(), bytes.end());
  }

  // Words emitted from now on belong to a new statement (module, line).
  int statement(int module, int line) {
    statements_.push_back({module, line});
    current_ = static_cast<uint16_t>(statements_.size() - 1);
    return current_;
  }
  void noStatement() { current_ = kNone; }

  uint16_t here() const { return static_cast<uint16_t>(code_.size()); }

  uint16_t emit(Op op, vexa::isa::Fields f = {}) {
    const auto at = vexa::isa::append(code_, op, f);
    map_.resize(code_.size(), current_);
    return static_cast<uint16_t>(at);
  }
  // Jump or JumpIfFalse to a code address.
  uint16_t jump(Op op, uint16_t target) {
    return emit(op, {.operand = vexa::isa::jumpOffset(here(), target)});
  }
  void patchJump(uint16_t at, uint16_t target) {
    code_[at + 1] = vexa::isa::jumpOffset(at, target);
  }
  void word(uint16_t w) {
    code_.push_back(w);
    map_.push_back(current_);
  }

  void variable(const std::string& name, int kind, int address, int type, int from = 0,
                int to = 0) {
    std::ostringstream line;
    line << name << ' ' << kind << ' ' << address << ' ' << type << ' ' << from << ' ' << to;
    variables_.push_back(line.str());
  }

  // The .dbg text with padding as the compiler writes it.
  std::string dbg(const char* eol = "\r\n") const {
    std::vector<uint8_t> bytes = constants_;
    for (std::size_t t = 0; t < threads_.size(); ++t) {
      const ThreadEntry& e = threads_[t];
      const uint16_t words[] = {e.pc, e.frame, e.sp, e.slice};
      std::memcpy(&bytes[2 + 8 * t], words, 8);
    }
    const std::size_t cb = (bytes.size() + 31) & ~std::size_t{31};
    const std::size_t cw = (code_.size() + 15) & ~std::size_t{15};
    bytes.resize(cb, 255);
    std::ostringstream out;
    out << cb << eol << cw << eol;
    for (std::size_t i = 0; i < cb; ++i) {
      if (i % 32 == 0) out << eol;
      out << static_cast<int>(bytes[i]) << ' ';
    }
    out << eol;
    for (std::size_t j = 0; j < cw; ++j) {
      if (j % 16 == 0) out << eol;
      if (j < code_.size())
        out << map_[j] << ' ' << code_[j] << ' ';
      else
        out << "65535 65535 ";
    }
    out << eol << eol << statements_.size();
    for (std::size_t k = 0; k < statements_.size(); ++k) {
      if (k % 16 == 0) out << eol;
      out << statements_[k].first << ' ' << statements_[k].second << ' ';
    }
    out << eol << eol << variables_.size() << eol;
    for (const std::string& v : variables_) out << v << eol;
    return out.str();
  }

  const std::vector<uint16_t>& code() const { return code_; }

 private:
  std::vector<uint8_t> constants_;
  std::vector<ThreadEntry> threads_;
  std::vector<uint16_t> code_;
  std::vector<uint16_t> map_;
  std::vector<std::pair<int, int>> statements_;
  std::vector<std::string> variables_;
  uint16_t current_ = kNone;
};

// A directory of .dbg files removed with the test.
class TempFiles {
 public:
  TempFiles() {
    dir_ = std::filesystem::temp_directory_path() /
           ("vx2sim-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
    std::filesystem::create_directories(dir_);
  }
  ~TempFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  // Writes name.dbg and returns the base name to hand to createMachine.
  std::string write(const std::string& name, const std::string& text) const {
    const std::filesystem::path base = dir_ / name;
    std::ofstream(base.string() + ".dbg", std::ios::binary) << text;
    return base.string();
  }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  std::filesystem::path dir_;
};

}  // namespace vexa::vx2sim::test
