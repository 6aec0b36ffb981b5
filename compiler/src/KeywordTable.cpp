#include "KeywordTable.h"

#include "CompilerTexts.h"
#include "Token.h"

namespace vexa::vx2 {
namespace {
constexpr int16_t kPrimes[16] = {31, 109, 97,  17, 47, 71,  3,   19,
                                 23, 151, 139, 67, 73, 233, 211, 59};
}

int keywordHash(std::string_view word) {
  int16_t acc = 0;
  for (size_t n = word.size(); n-- > 0;) {
    int ch = static_cast<signed char>(word[n]);
    acc = static_cast<int16_t>(static_cast<uint16_t>(((acc ^ ch) * 2) ^ kPrimes[n % 16]));
  }
  return acc % KEYWORD_BUCKETS;
}

KeywordTable::KeywordTable() {
  for (int i = 0; i < KEYWORD_COUNT; ++i) {
    int type = FIRST_KEYWORD + i;
    const std::string& word = tokenSpelling(type);
    int bucket = keywordHash(word);
    if (bucket < 0 || buckets_[bucket] != 0) throw Collision(word);
    entries_[i] = {type, word};
    buckets_[bucket] = static_cast<uint16_t>(i + 1);
    if (word.size() > longest_) longest_ = static_cast<uint16_t>(word.size());
  }
}

int KeywordTable::lookup(std::string_view word) const {
  if (word.size() > longest_) return TOKEN_IDENTIFIER;
  int bucket = keywordHash(word);
  if (bucket < 0) return TOKEN_IDENTIFIER;
  uint16_t slot = buckets_[bucket];
  if (slot == 0 || entries_[slot - 1].text != word) return TOKEN_IDENTIFIER;
  return entries_[slot - 1].type;
}

int KeywordTable::bucketOf(int tokenType) const {
  for (int b = 0; b < KEYWORD_BUCKETS; ++b)
    if (buckets_[b] != 0 && entries_[buckets_[b] - 1].type == tokenType) return b;
  return -1;
}

}  // namespace vexa::vx2
