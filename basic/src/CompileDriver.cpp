// Runs the two passes over the source and fills the instance from them.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "CompileError.h"
#include "QuorinCompiler.h"
#include "QuorinInstance.h"

namespace vexa::vxbasic {

namespace {

constexpr uint32_t kStatusOk = 0;
constexpr uint32_t kStatusErrors = 1;
constexpr uint32_t kStatusNoSource = 2;

uint32_t errorStatus(unsigned errors) { return std::min(errors, 0xFFFFu) << 16 | kStatusErrors; }

// Splits the source at line feeds; a last line without a line feed counts.
class SourceLines {
 public:
  explicit SourceLines(const char* source) : text_(source) {}
  bool next(std::string& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line.assign(text_.substr(pos_, end - pos_));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos_ = end + 1;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

uint32_t compile(QuorinInstance& inst, const char* baseDirectory) {
  inst.symbolMap.clear();
  inst.breakpoints.clear();
  inst.messages.clear();
  if (!inst.source) return kStatusNoSource;
  try {
    const std::string base = baseDirectory ? baseDirectory : "";
    unsigned errors = 0;
    auto report = [&](const CompileError& e) {
      ++errors;
      if (e.line >= 1 && static_cast<std::size_t>(e.line) <= inst.lineInfos.size())
        inst.lineInfos[static_cast<std::size_t>(e.line - 1)] |= 0x80;
      return inst.messages.write(e.line, e.text);
    };

    auto pass1 = std::make_unique<QuorinCompiler>(true, base, &inst.symbolMap, &inst.breakpoints);
    inst.lineInfos.clear();
    SourceLines lines(inst.source);
    std::string text;
    for (int number = 1; lines.next(text); ++number) {
      inst.lineInfos.push_back(0);
      try {
        if (pass1->compileLine(number, text)) inst.lineInfos.back() |= 1;
      } catch (const CompileError& e) {
        bool room = report(e);
        if (e.code == kProgramTooLong || e.code == kSysCodeTooLong || !room)
          return errorStatus(errors);
      }
    }
    try {
      pass1->finishPass(errors != 0);
    } catch (const CompileError& e) {
      report(e);
    }
    if (errors != 0) return errorStatus(errors);

    // Code beyond the program memory is cut; running into it is the
    // simulator's end-of-memory error.
    const auto& code1 = pass1->code();
    inst.programMemory.fill(0);
    inst.programMemory[0] = static_cast<uint8_t>(code1.size() >> 8);
    inst.programMemory[1] = static_cast<uint8_t>(code1.size());
    std::size_t fit = std::min(code1.size(), kProgramMemorySize - 4);
    std::copy_n(code1.begin(), fit, inst.programMemory.begin() + 4);
    pass1.reset();

    auto pass2 = std::make_unique<QuorinCompiler>(false, base);
    SourceLines again(inst.source);
    for (int number = 1; again.next(text); ++number) {
      try {
        pass2->compileLine(number, text);
      } catch (const CompileError& e) {
        report(e);
        return errorStatus(errors);
      }
    }
    try {
      pass2->finishPass();
    } catch (const CompileError& e) {
      report(e);
      return errorStatus(errors);
    }
    const auto& code2 = pass2->code();
    const auto& sys2 = pass2->sysCode();
    inst.image.codeLength = static_cast<uint16_t>(code2.size());
    inst.image.sysCodeLength = static_cast<uint16_t>(sys2.size());
    std::copy(code2.begin(), code2.end(), inst.image.code.begin());
    std::copy(sys2.begin(), sys2.end(), inst.image.sysCode.begin());
    return kStatusOk;
  } catch (const std::bad_alloc&) {
    return kStatusNoSource;
  }
}

bool isValidBreakPoint(const QuorinInstance& inst, uint16_t line) {
  return std::any_of(inst.breakpoints.begin(), inst.breakpoints.end(),
                     [line](int l) { return static_cast<uint16_t>(l) == line; });
}

}  // namespace vexa::vxbasic
