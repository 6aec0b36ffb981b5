// Perfect hash of the 40 V2 keywords over 277 buckets.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vexa::vx2 {

constexpr int KEYWORD_BUCKETS = 277;
constexpr int KEYWORD_COUNT = 40;

// Bucket number of a word (may be negative for words that are no keyword).
int keywordHash(std::string_view word);

class KeywordTable {
 public:
  // Thrown when two keywords fall into one bucket.
  struct Collision : std::runtime_error {
    explicit Collision(const std::string& word) : std::runtime_error(word) {}
  };

  KeywordTable();

  // The keyword's token type, or the identifier type.
  int lookup(std::string_view word) const;

  // Bucket of a keyword entry (for checking the table).
  int bucketOf(int tokenType) const;
  unsigned longest() const { return longest_; }

 private:
  struct Entry {
    int32_t type;
    std::string text;
  };
  std::array<Entry, KEYWORD_COUNT> entries_;
  std::array<uint16_t, KEYWORD_BUCKETS> buckets_{};
  uint16_t longest_ = 0;
};

}  // namespace vexa::vx2
