#pragma once

#include <cstdint>
#include <vector>

namespace vexa::ide {

// Line numbers (breakpoint lines) in strictly ascending order that follow the
// lines an editor inserts and deletes.
class TVexaLineNumberList {
 public:
  void Clear() { lines_.clear(); }
  int Count() const { return static_cast<int>(lines_.size()); }
  // The line at index, -1 outside the list.
  std::int32_t Get(int index) const;
  bool Contains(std::int32_t line) const;
  // Removes the line when present, else inserts it in order.
  void Toggle(std::int32_t line);
  // Every line at or after firstLine moves down by count.
  void LinesInserted(std::int32_t firstLine, std::int32_t count);
  // Lines after firstLine inside the deleted range go; later lines move up.
  // A line that moves onto firstLine while firstLine is listed is kept once.
  void LinesDeleted(std::int32_t firstLine, std::int32_t count);

 private:
  std::vector<std::int32_t> lines_;
};

}  // namespace vexa::ide
