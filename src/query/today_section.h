#pragma once
// Today's weather on 画板_主: the daytime half on the left and the night-time half on the right,
// each with its condition icon, temperature and two lines, plus the felt temperature; and the
// region line in 透明标签2.

#include "primitives/text.h"

namespace qc {

void DrawTodaySection(const Text& content);

// x of a text chosen by its byte length: near when it is at most limit bytes long, else far.
inline int XByLength(const Text& text, int limit, int near, int far) {
  return TextLength(text) <= limit ? near : far;
}

}  // namespace qc
