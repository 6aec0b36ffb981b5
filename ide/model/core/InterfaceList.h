#pragma once

#include <memory>
#include <vector>

namespace vexa::ide {

// An ordered list of interface references, each entry holding one reference.
// Entries are compared by identity; Add never stores one twice.
template <class T>
class TVexaInterfaceList {
 public:
  using Item = std::shared_ptr<T>;

  // Index of the entry: the new one, or the existing one; -1 for nil.
  int Add(const Item& item) {
    if (!item) return -1;
    int index = IndexOf(item);
    if (index >= 0) return index;
    items_.push_back(item);
    return Count() - 1;
  }

  void Remove(const Item& item) {
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
  }

  void Delete(int index) {
    if (InRange(index)) items_.erase(items_.begin() + index);
  }

  void Clear() { items_.clear(); }

  int Count() const { return static_cast<int>(items_.size()); }

  Item Get(int index) const { return InRange(index) ? items_[index] : Item(); }

  int IndexOf(const Item& item) const {
    if (!item) return -1;
    for (int i = 0; i < Count(); ++i)
      if (items_[i] == item) return i;
    return -1;
  }

  // Takes the entry out at fromIndex and puts it in at toIndex; an index
  // outside the list changes nothing.
  void Move(int fromIndex, int toIndex) {
    if (fromIndex == toIndex || !InRange(fromIndex) || !InRange(toIndex)) return;
    Item item = std::move(items_[fromIndex]);
    items_.erase(items_.begin() + fromIndex);
    items_.insert(items_.begin() + toIndex, std::move(item));
  }

 private:
  bool InRange(int index) const { return index >= 0 && index < Count(); }

  std::vector<Item> items_;
};

}  // namespace vexa::ide
