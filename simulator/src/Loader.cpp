// Machine::load: the program image and debug tables from a .dbg file.
#include "DbgReader.h"
#include "LoadError.h"
#include "Machine.h"

namespace vexa::vx2sim {
namespace {

int32_t count(DbgReader& in, int32_t limit, const char* what) {
  const auto n = in.number();
  if (!n) throw LoadError(std::string("missing ") + what);
  if (*n < 0 || *n > limit) throw LoadError(std::string(what) + " out of range");
  return *n;
}

int32_t required(DbgReader& in, const char* what) {
  const auto n = in.number();
  if (!n) throw LoadError(std::string("truncated ") + what);
  return *n;
}

}  // namespace

void Machine::load(std::FILE* file) {
  DbgReader in(file);
  const int32_t byteCount = count(in, kImageSize, "constant byte count");
  const int32_t wordCount = count(in, kCodeSize, "code word count");

  for (int32_t i = 0; i < byteCount; ++i)
    image[i] = static_cast<uint8_t>(required(in, "constant bytes"));

  for (int32_t j = 0; j < wordCount; ++j) {
    debugMap[j] = static_cast<uint16_t>(required(in, "code words"));
    code[j] = static_cast<uint16_t>(required(in, "code words"));
  }

  // Statement indices fit in 16 bits; 0xFFFF means none.
  const int32_t statementCount = count(in, kNoStatement, "statement count");
  statements.assign(statementCount, Statement{});
  for (Statement& s : statements) {
    s.module = static_cast<uint16_t>(required(in, "statement table"));
    s.line = static_cast<uint16_t>(required(in, "statement table"));
  }
  for (int32_t j = 0; j < wordCount; ++j) {
    if (debugMap[j] != kNoStatement && debugMap[j] >= statements.size())
      throw LoadError("statement index beyond the statement table");
  }

  // The variable section has no checkpoint: a short last line still loads what it holds.
  names.clear();
  variables.clear();
  const auto variableCount = in.number();
  if (variableCount && *variableCount < 0) throw LoadError("variable count out of range");
  for (int32_t v = 0; variableCount && v < *variableCount; ++v) {
    const auto name = in.word();
    if (!name) break;
    VariableRecord r;
    int* fields[] = {&r.kind, &r.address, &r.type};
    bool complete = true;
    for (int* f : fields) {
      const auto n = complete ? in.number() : std::nullopt;
      complete = n.has_value();
      if (complete) *f = static_cast<uint16_t>(*n);
    }
    for (uint16_t* f : {&r.codeFrom, &r.codeTo}) {
      const auto n = complete ? in.number() : std::nullopt;
      complete = n.has_value();
      if (complete) *f = static_cast<uint16_t>(*n);
    }
    variables.push_back(r);
    names[*name] = static_cast<int>(variables.size()) - 1;
    if (!complete) break;
  }
}

}  // namespace vexa::vx2sim
