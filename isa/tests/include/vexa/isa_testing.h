// Code words compared with expectations written as instruction lines; a difference shows both
// sides as disassembly.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/isa.h"

namespace vexa::isa::testing {

// EXPECT_TRUE(sameCode(words, {"PushByte 200", "StoreInt [0014]"})): the words are exactly what
// the lines assemble to, the first word at address `origin`.
inline ::testing::AssertionResult sameCode(std::span<const uint16_t> actual,
                                           const std::vector<std::string_view>& expected,
                                           uint16_t origin = 0) {
  std::vector<uint16_t> words;
  try {
    words = assembleText(expected, origin);
  } catch (const std::invalid_argument& error) {
    return ::testing::AssertionFailure() << "the expected code does not assemble: " << error.what();
  }
  if (std::ranges::equal(actual, words)) return ::testing::AssertionSuccess();

  const std::vector<std::string> want = disassembleAll(words, origin);
  const std::vector<std::string> got = disassembleAll(actual, origin);
  std::size_t width = 8;
  for (const std::string& line : want) width = std::max(width, line.size());
  std::ostringstream out;
  out << "code differs\n  " << std::string("expected").append(width - 8, ' ') << "   actual\n";
  for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
    const std::string left = i < want.size() ? want[i] : "";
    const std::string right = i < got.size() ? got[i] : "";
    out << (left == right ? "  " : "! ") << left << std::string(width - left.size(), ' ') << " | "
        << right << "\n";
  }
  if (want == got) {
    // Fields the listing leaves out differ: show the words themselves.
    out << "words:";
    for (uint16_t w : actual) out << ' ' << w;
    out << "\nexpected words:";
    for (uint16_t w : words) out << ' ' << w;
  }
  return ::testing::AssertionFailure() << out.str();
}

}  // namespace vexa::isa::testing
