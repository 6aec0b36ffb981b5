// Reading and writing the program's variables by their 1-based index.
#pragma once

#include <optional>
#include <string>

#include "Machine.h"

namespace vexa::vx2sim::variables {

// The record of a 1-based index; nullptr when out of range.
const VariableRecord* find(const Machine& m, int32_t index);

// RAM address of the variable now: a local only while the current thread executes its code.
std::optional<uint16_t> locate(const Machine& m, const VariableRecord& v);

bool getInteger(const Machine& m, int32_t index, int32_t& value);
bool getFloat(const Machine& m, int32_t index, double& value);
// Up to 30 characters of the string record.
bool getString(const Machine& m, int32_t index, std::string& text);
bool setInteger(Machine& m, int32_t index, int32_t value);
bool setFloat(Machine& m, int32_t index, double value);
bool setString(Machine& m, int32_t index, const char* text);
// A string takes the text; other types the value of the constant expression.
bool setFromText(Machine& m, int32_t index, const char* text);

}  // namespace vexa::vx2sim::variables
