#include "query/condition_number.h"

#include "primitives/text_array.h"

namespace qc {

const Text& ConditionList() {
  static const Text list =
      "\xC7\xE7,\xC7\xE7,\xB6\xE0\xD4\xC6,\xB6\xE0\xD4\xC6,\xD2\xF5\xCC\xEC,\xD2\xF5,\xD0\xA1\xD3"
      "\xEA,\xD0\xA1\xD3\xEA,\xD5\xF3\xD3\xEA,\xD5\xF3\xD3\xEA,\xD6\xD0\xD3\xEA,\xD6\xD0\xD3\xEA,"
      "\xB1\xA9\xD3\xEA,\xB1\xA9\xD3\xEA,\xCC\xD8\xB4\xF3\xB1\xA9\xD3\xEA,\xCC\xD8\xB4\xF3\xB1\xA9"
      "\xD3\xEA,\xC0\xD7\xD5\xF3\xD3\xEA,\xC0\xD7\xD5\xF3\xD3\xEA,\xB6\xE0\xD4\xC6\xD7\xAA\xD0\xA1"
      "\xD3\xEA,\xB6\xE0\xD4\xC6\xD7\xAA\xD0\xA1\xD3\xEA,\xD3\xEA\xBC\xD3\xD1\xA9,\xD3\xEA\xBC\xD3"
      "\xD1\xA9,\xB6\xB3\xD3\xEA,\xB6\xB3\xD3\xEA,\xB1\xF9\xB1\xA2,\xB1\xF9\xB1\xA2,";
  return list;
}

int ConditionNumber(const Text& condition) {
  // Counting the entries that the first w + 2 bytes touch gives the entry the text begins in;
  // an absent text (w = -1) leaves one byte, one piece.
  const int w = FindText(ConditionList(), condition);
  return SplitText(TextLeft(ConditionList(), w + 2), ",").Size();
}

RowIcons RowIconsOf(const Text& condition) {
  const int t = FindText(condition, "\xD7\xAA");  // 转
  int a = 0;
  int b = 0;
  if (t >= 1) {
    a = ConditionNumber(TextLeft(condition, t - 1));
    b = ConditionNumber(TextRight(condition, TextLength(condition) - t - 1));
  } else {
    a = b = ConditionNumber(condition);
  }
  // The strip holds each daytime picture at an even index and its night picture right after.
  return {a - 1, b};
}

}  // namespace qc
