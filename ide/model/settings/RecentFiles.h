#pragma once

// A list of recently closed files, newest first, at most kMaxRecent names.

#include <QString>
#include <QStringList>

namespace vexa::ide {

class TRecentList {
 public:
  static constexpr int kMaxRecent = 5;

  // Moves Name to the front (a name of the same file already listed goes
  // there instead of a second entry), then drops the oldest beyond kMaxRecent.
  void Add(const QString& Name);
  // Removes every entry that names the same file as Name.
  void Remove(const QString& Name);
  // Appends a loaded name; ignores an empty one and any beyond kMaxRecent.
  void Append(const QString& Name);
  void Clear() { items_.clear(); }

  int Count() const { return int(items_.size()); }
  bool IsEmpty() const { return items_.isEmpty(); }
  // Entry Index (0-based); empty outside the list.
  QString At(int Index) const { return items_.value(Index); }
  const QStringList& Items() const { return items_; }

 private:
  QStringList items_;
};

// True when both lists hold at least one entry.
bool BothRecentListsUsed(const TRecentList& Files, const TRecentList& Projects);

}  // namespace vexa::ide
