#pragma once
// A one-dimensional array of texts with 1-based indexes and a size fixed when it is made.
// Reading outside the array gives the empty text and writing outside it does nothing, so a
// miscounted index can never corrupt memory.

#include <utility>
#include <vector>

#include "primitives/text.h"

namespace qc {

class TextArray {
 public:
  TextArray() = default;
  explicit TextArray(int size) : items_(size > 0 ? size : 0) {}
  // Element k + 1 is items[k].
  explicit TextArray(std::vector<Text> items) : items_(std::move(items)) {}

  int Size() const { return static_cast<int>(items_.size()); }
  const Text& Get(int index) const {
    static const Text kEmpty;
    return InRange(index) ? items_[index - 1] : kEmpty;
  }
  void Set(int index, Text text) {
    if (InRange(index))
      items_[index - 1] = std::move(text);
  }
  bool InRange(int index) const { return index >= 1 && index <= Size(); }

  bool operator==(const TextArray&) const = default;

 private:
  std::vector<Text> items_;
};

// Splits at every delimiter that starts on a character boundary. Empty elements between two
// delimiters and before a leading one are kept; a delimiter at the very end adds none. The
// empty text gives size 0, the empty delimiter one element holding the whole text.
TextArray SplitText(const Text& text, const Text& delimiter = ",");

}  // namespace qc
