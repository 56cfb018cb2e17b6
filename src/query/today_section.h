#pragma once
// Today's weather on 画板_主: the daytime half on the left and the night-time half on the right,
// each with its condition icon, temperature and two lines, plus the felt temperature; and the
// region line in 透明标签2.

#include "primitives/text.h"

namespace qc {

// The values of the today block, empty where the page does not have them.
struct TodayValues {
  Text region;           // the three parts of the region line, joined
  Text dayIcon;          // the image name between "180_180/" and "png", with its dot
  Text dayTemperature;   // without "℃"
  Text feltTemperature;  // without "℃"
  Text dayLine1, dayLine2;
  Text nightIcon;
  Text nightTemperature;
  Text nightLine1, nightLine2;
};

TodayValues ScrapeToday(const Text& content);
void DrawTodaySection(const Text& content);

// x of a text chosen by its byte length: near when it is at most limit bytes long, else far.
inline int XByLength(const Text& text, int limit, int near, int far) {
  return TextLength(text) <= limit ? near : far;
}

}  // namespace qc
