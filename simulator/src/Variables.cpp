#include "Variables.h"

#include <algorithm>

#include "ConstParser.h"
#include "Instructions.h"
#include "Text.h"
#include "vexa/conversions.h"

namespace vexa::vx2sim::variables {

const VariableRecord* find(const Machine& m, int32_t index) {
  if (index < 1 || static_cast<std::size_t>(index) > m.variables.size()) return nullptr;
  return &m.variables[index - 1];
}

std::optional<uint16_t> locate(const Machine& m, const VariableRecord& v) {
  const uint16_t address = static_cast<uint16_t>(v.address);
  if (v.kind == 1) return address;
  if (v.kind != 2) return std::nullopt;
  const uint16_t pc = m.pc();
  if (pc < v.codeFrom || pc > v.codeTo) return std::nullopt;
  const uint16_t at = m.frameAddress(address);
  // A string parameter slot holds the address of the caller's string record.
  if (v.type == kString && static_cast<int16_t>(address) < 0) return m.load<uint16_t>(at);
  return at;
}

namespace {
std::optional<uint16_t> locateIndex(const Machine& m, int32_t index, const VariableRecord*& v) {
  v = find(m, index);
  if (!v) return std::nullopt;
  return locate(m, *v);
}
}  // namespace

bool getInteger(const Machine& m, int32_t index, int32_t& value) {
  const VariableRecord* v;
  const auto at = locateIndex(m, index, v);
  if (!at) return false;
  switch (v->type) {
    case kByte: value = m.ram[*at]; return true;
    case kInt: value = static_cast<int16_t>(m.load<uint16_t>(*at)); return true;
    case kLong: value = m.load<int32_t>(*at); return true;
    default: return false;
  }
}

bool getFloat(const Machine& m, int32_t index, double& value) {
  const VariableRecord* v;
  const auto at = locateIndex(m, index, v);
  if (!at) return false;
  value = m.load<double>(*at);
  return true;
}

bool getString(const Machine& m, int32_t index, std::string& text) {
  const VariableRecord* v;
  const auto at = locateIndex(m, index, v);
  if (!at) return false;
  const int n = std::min<int>(m.ram[static_cast<uint16_t>(*at + kStringLength)], kStringCapacity);
  text.clear();
  for (int i = 0; i < n; ++i)
    text.push_back(static_cast<char>(m.ram[static_cast<uint16_t>(*at + i)]));
  return true;
}

bool setInteger(Machine& m, int32_t index, int32_t value) {
  const VariableRecord* v;
  const auto at = locateIndex(m, index, v);
  if (!at) return false;
  switch (v->type) {
    case kByte: m.ram[*at] = static_cast<uint8_t>(value); return true;
    case kInt: m.store<uint16_t>(*at, static_cast<uint16_t>(value)); return true;
    case kLong: m.store<int32_t>(*at, value); return true;
    default: return false;
  }
}

bool setFloat(Machine& m, int32_t index, double value) {
  const VariableRecord* v;
  const auto at = locateIndex(m, index, v);
  if (!at) return false;
  m.store<double>(*at, value);
  return true;
}

bool setString(Machine& m, int32_t index, const char* text) {
  const VariableRecord* v;
  const auto at = locateIndex(m, index, v);
  if (!at || !text) return false;
  const uint16_t s = *at;
  m.ram[static_cast<uint16_t>(s + kStringNul)] = 0;
  int n = 0;
  for (; n < kStringCapacity && text[n] != '\0'; ++n)
    m.ram[static_cast<uint16_t>(s + n)] = static_cast<uint8_t>(text[n]);
  if (n < kStringCapacity) m.ram[static_cast<uint16_t>(s + n)] = 0;
  m.ram[static_cast<uint16_t>(s + kStringLength)] = static_cast<uint8_t>(n);
  return true;
}

bool setFromText(Machine& m, int32_t index, const char* text) {
  const VariableRecord* v = find(m, index);
  if (!v || !text) return false;
  if (v->type == kString) return setString(m, index, text);
  const std::optional<double> value = ConstParser::evaluate(text);
  if (!value) return false;
  switch (v->type) {
    case kByte:
    case kInt:
    case kLong: return setInteger(m, index, vexa::vm::floatToInt32(*value));
    case kFloat: return setFloat(m, index, *value);
    default: return false;
  }
}

}  // namespace vexa::vx2sim::variables
