#pragma once
// The information panel 画板_信息: the cells of the sunrise and sunset table from y 40, one per
// line with their spaces removed, and the living-index rows from y 135, two cells joined per
// line. Uses the panel's own font and colour.

#include <vector>

#include "primitives/text.h"

namespace qc {

struct InfoLines {
  std::vector<Text> sunrise;      // one cell a line, spaces removed
  std::vector<Text> livingIndex;  // two cells a line, joined as they are
};

InfoLines ScrapeInfo(const Text& content);
void DrawInfoSection(const Text& content);

// The sunrise table: from 17 bytes before "日出日落时间" to the first "</table>" after that.
Text SunriseTableOf(const Text& content);
// The living-index table: from "<!-- 生活指数 begin -->" to the first "</table>" after it.
Text LivingIndexTableOf(const Text& content);

}  // namespace qc
