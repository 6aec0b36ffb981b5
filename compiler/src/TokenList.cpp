#include "TokenList.h"

namespace vexa::vx2 {
namespace {
const std::string kNoText;
}

TokenList::TokenList(size_t items, size_t doubles, size_t texts) {
  items_.reserve(items);
  doubles_.reserve(doubles);
  texts_.reserve(texts);
}

void TokenList::clear() {
  items_.clear();
  doubles_.clear();
  texts_.clear();
  cursor_ = 0;
}

void TokenList::appendDouble(int32_t type, double value) {
  doubles_.push_back(value);
  append(type, static_cast<int32_t>(doubles_.size() - 1));
}

void TokenList::appendText(int32_t type, std::string text) {
  texts_.push_back(std::move(text));
  append(type, static_cast<int32_t>(texts_.size() - 1));
}

void TokenList::recordSizes() {
  recordedItems_ = items_.size();
  recordedDoubles_ = doubles_.size();
  recordedTexts_ = texts_.size();
}

const std::string& TokenList::text() const {
  int32_t v = value();
  if (v < 0 || static_cast<size_t>(v) >= texts_.size()) return kNoText;
  return texts_[v];
}

double TokenList::number() const {
  int32_t v = value();
  if (v < 0 || static_cast<size_t>(v) >= doubles_.size()) return 0.0;
  return doubles_[v];
}

}  // namespace vexa::vx2
