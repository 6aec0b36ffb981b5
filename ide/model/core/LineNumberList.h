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
  // Lines inside [firstLine, firstLine + count) go; later lines move up.
  void LinesRemoved(std::int32_t firstLine, std::int32_t count);

 private:
  std::vector<std::int32_t> lines_;
};

// The line shifts an editor made since its text was last as on disk. When the
// edited text is thrown away, Revert moves a list's lines back onto the file's
// lines: lines on inserted lines go, lines of deleted ones do not come back.
class TLineShiftLog {
 public:
  void Inserted(std::int32_t firstLine, std::int32_t count) {
    shifts_.push_back({firstLine, count});
  }
  void Deleted(std::int32_t firstLine, std::int32_t count) {
    shifts_.push_back({firstLine, -count});
  }
  void Clear() { shifts_.clear(); }
  // Undoes the shifts on list, newest first, and forgets them.
  void Revert(TVexaLineNumberList& list);

 private:
  struct TShift {
    std::int32_t FirstLine;
    std::int32_t Count;  // below 0: deleted lines
  };
  std::vector<TShift> shifts_;
};

}  // namespace vexa::ide
