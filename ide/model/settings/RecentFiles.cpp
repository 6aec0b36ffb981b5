#include "model/settings/RecentFiles.h"

#include "model/core/Helpers.h"

namespace vexa::ide {

void TRecentList::Add(const QString& Name) {
  if (Name.isEmpty()) return;
  Remove(Name);
  items_.prepend(Name);
  while (items_.size() > kMaxRecent) items_.removeLast();
}

void TRecentList::Remove(const QString& Name) {
  for (qsizetype i = items_.size() - 1; i >= 0; --i)
    if (SameFileName(items_[i], Name)) items_.removeAt(i);
}

void TRecentList::Append(const QString& Name) {
  if (!Name.isEmpty() && items_.size() < kMaxRecent) items_.append(Name);
}

bool BothRecentListsUsed(const TRecentList& Files, const TRecentList& Projects) {
  return !Files.IsEmpty() && !Projects.IsEmpty();
}

}  // namespace vexa::ide
