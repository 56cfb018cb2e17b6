#pragma once
// A set of texts compared byte for byte (case-sensitive, no trimming), kept in insertion order.
// Nothing is ever removed; Add reports whether the text was new.

#include <unordered_set>
#include <vector>

#include "primitives/text.h"

namespace qc {

class TextSet {
 public:
  // True when the text was not present and has been appended.
  bool Add(const Text& text) {
    if (!index_.insert(text).second)
      return false;
    entries_.push_back(text);
    return true;
  }
  bool Contains(const Text& text) const { return index_.count(text) != 0; }
  int Size() const { return static_cast<int>(entries_.size()); }
  const std::vector<Text>& Entries() const { return entries_; }
  void Clear() {
    index_.clear();
    entries_.clear();
  }

 private:
  std::vector<Text> entries_;
  std::unordered_set<Text> index_;
};

}  // namespace qc
