#include "query/pinyin_name.h"

#include "primitives/pinyin.h"

namespace qc {

Text PinyinName(const Text& text) {
  const int n = TextLength(text);
  Text result;
  int i = 0;
  // Walks one byte past the end, as the name has always been built: the empty byte taken there
  // adds nothing.
  while (i <= n) {
    const Text one = TextMid(text, i + 1, 1);
    if (CharCode(one) >= 0) {
      result += one;
      i += 1;
    } else {
      const Text two = TextMid(text, i + 1, 2);
      const Text syllable = PinyinOf(two, 1);
      result += syllable.empty() ? two : syllable;
      i += 2;
    }
  }
  return result;
}

}  // namespace qc
