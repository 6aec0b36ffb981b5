// A growable list of (type, value) pairs with pools of doubles and texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexa::vx2 {

class TokenList {
 public:
  struct Item {
    int32_t type;
    int32_t value;
  };

  // A compile's list: room for 16384 items, 32 doubles and 1024 texts.
  TokenList() : TokenList(16384, 32, 1024) {}
  // A list for a short text such as a dotted name; it grows like any other.
  TokenList(size_t items, size_t doubles, size_t texts);
  // Room for an identifier query: a dotted name of a few parts and its end.
  static TokenList forName() { return TokenList(8, 0, 4); }

  void clear();
  void append(int32_t type, int32_t value) { items_.push_back({type, value}); }
  void appendDouble(int32_t type, double value);
  void appendText(int32_t type, std::string text);
  // Drops the items from position count on (pools are kept).
  void truncate(size_t count) {
    if (count < items_.size()) items_.resize(count);
  }
  void recordSizes();

  // Cursor.
  void reset(size_t position = 0) { cursor_ = position; }
  void advance() {
    if (cursor_ + 1 < items_.size()) ++cursor_;
  }
  void stepBack() {
    if (cursor_ > 0) --cursor_;
  }
  size_t position() const { return cursor_; }
  int32_t type() const { return items_.empty() ? 4 : items_[cursor_].type; }
  int32_t value() const { return items_.empty() ? 0 : items_[cursor_].value; }
  const std::string& text() const;
  double number() const;

  size_t size() const { return items_.size(); }
  const Item& at(size_t i) const { return items_[i]; }
  const std::string& textAt(size_t index) const { return texts_[index]; }
  double doubleAt(size_t index) const { return doubles_[index]; }
  size_t textCount() const { return texts_.size(); }
  size_t doubleCount() const { return doubles_.size(); }

 private:
  std::vector<Item> items_;
  std::vector<double> doubles_;
  std::vector<std::string> texts_;
  size_t cursor_ = 0;
  size_t recordedItems_ = 0, recordedDoubles_ = 0, recordedTexts_ = 0;
};

}  // namespace vexa::vx2
