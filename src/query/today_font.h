#pragma once
// The font of the today panel: 宋体, bold, upright, in the given size in points.

#include "drawing/font_record.h"

namespace qc {

inline FontRecord TodayFont(int points) {
  FontRecord font;
  font.bold = 1;
  font.size = points;
  font.face = "\xCB\xCE\xCC\xE5";  // 宋体
  return font;
}

}  // namespace qc
