#include "primitives/text_array.h"

#include <utility>
#include <vector>

namespace qc {

TextArray SplitText(const Text& text, const Text& delimiter) {
  if (text.empty())
    return TextArray(0);
  if (delimiter.empty()) {
    TextArray whole(1);
    whole.Set(1, text);
    return whole;
  }
  std::vector<Text> items;
  std::size_t itemStart = 0;
  std::size_t i = 0;
  while (text.size() - i >= delimiter.size()) {
    const std::size_t width = CharWidth(text, i);
    if (width == 0)
      break;
    if (text.compare(i, delimiter.size(), delimiter) == 0) {
      items.push_back(text.substr(itemStart, i - itemStart));
      i += delimiter.size();
      itemStart = i;
    } else {
      i += width;
    }
  }
  // A delimiter at the very end leaves nothing here, so it adds no empty last element.
  if (itemStart < text.size())
    items.push_back(text.substr(itemStart));
  return TextArray(std::move(items));
}

}  // namespace qc
