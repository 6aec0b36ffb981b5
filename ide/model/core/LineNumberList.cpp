#include "model/core/LineNumberList.h"

namespace vexa::ide {

std::int32_t TVexaLineNumberList::Get(int index) const {
  if (index < 0 || index >= Count()) return -1;
  return lines_[index];
}

bool TVexaLineNumberList::Contains(std::int32_t line) const {
  for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
    if (*it == line) return true;
    if (*it < line) return false;
  }
  return false;
}

void TVexaLineNumberList::Toggle(std::int32_t line) {
  for (auto it = lines_.begin(); it != lines_.end(); ++it) {
    if (*it == line) {
      lines_.erase(it);
      return;
    }
    if (*it > line) {
      lines_.insert(it, line);
      return;
    }
  }
  lines_.push_back(line);
}

void TVexaLineNumberList::LinesInserted(std::int32_t firstLine, std::int32_t count) {
  for (int i = Count() - 1; i >= 0 && lines_[i] >= firstLine; --i) lines_[i] += count;
}

void TVexaLineNumberList::LinesDeleted(std::int32_t firstLine, std::int32_t count) {
  // 64-bit so that a huge count cannot wrap the end of the range.
  const std::int64_t rangeEnd = std::int64_t(firstLine) + count;
  int i = Count() - 1;
  for (; i >= 0 && lines_[i] > firstLine; --i) {
    if (lines_[i] >= rangeEnd)
      lines_[i] -= count;
    else
      lines_.erase(lines_.begin() + i);
  }
  // A line moved up onto firstLine meets the one kept there: keep one.
  if (i >= 0 && i + 1 < Count() && lines_[i + 1] == lines_[i]) lines_.erase(lines_.begin() + i + 1);
}

void TVexaLineNumberList::LinesRemoved(std::int32_t firstLine, std::int32_t count) {
  const std::int64_t rangeEnd = std::int64_t(firstLine) + count;
  for (int i = Count() - 1; i >= 0 && lines_[i] >= firstLine; --i) {
    if (lines_[i] >= rangeEnd)
      lines_[i] -= count;
    else
      lines_.erase(lines_.begin() + i);
  }
}

void TLineShiftLog::Revert(TVexaLineNumberList& list) {
  for (auto shift = shifts_.rbegin(); shift != shifts_.rend(); ++shift) {
    if (shift->Count > 0)
      list.LinesRemoved(shift->FirstLine, shift->Count);
    else
      list.LinesInserted(shift->FirstLine + 1, -shift->Count);
  }
  shifts_.clear();
}

}  // namespace vexa::ide
