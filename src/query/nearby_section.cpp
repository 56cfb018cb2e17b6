#include "query/nearby_section.h"

#include <algorithm>

#include "app/form_state.h"
#include "app/globals.h"
#include "drawing/icon_strip.h"
#include "primitives/pattern.h"
#include "query/condition_number.h"

namespace qc {
namespace {

constexpr char kNearbyMarker[] = "\xD6\xDC\xB1\xDF\xB3\xC7\xCA\xD0";  // 周边城市
constexpr int kFirstRuleY = 243;
constexpr int kRowPitch = 35;
constexpr int kFirstNearbySlot = 7;

const Pattern& RowPattern() {
  static const Pattern pattern = [] {
    Pattern p;
    CompilePattern(p,
                   "city=(.*?)&dpc=1.*?<span.*?>(.*?)</span>.*?>(.*?)<.*?title=(.*?)>.*?title=(.*?)>");
    return p;
  }();
  return pattern;
}

}  // namespace

Text NearbyTextOf(const Text& content) {
  return TextLeft(content, FindText(content, kNearbyMarker));
}

void DrawNearbySection(const Text& content) {
  DrawPanel& panel = Form().followedPanel;
  NearbyConditions = TextArray(6);
  // Rows that this page does not list must not keep the query names of an earlier page, or a
  // press on an empty row would query a city that is no longer shown.
  for (int slot = kFirstNearbySlot; slot < kFirstNearbySlot + kMaxNearbyRows; ++slot) {
    CitySlots.Set(slot, Text());
  }

  const Text nearby = NearbyTextOf(content);
  const std::vector<MatchResult> rows = SearchAllPatterns(RowPattern(), nearby);
  const int n = std::min(static_cast<int>(rows.size()), kMaxNearbyRows);

  int y = kFirstRuleY;
  for (int i = 1; i <= n; ++i) {
    const MatchResult& row = rows[i - 1];
    panel.DrawLine(0, y, 216, y);
    panel.WriteAt(10, y - 23, GroupText(row, nearby, 2));
    panel.WriteAt(70, y - 23, GroupText(row, nearby, 3));
    const Text quoted = TrimSpaces(GroupText(row, nearby, 4));
    const Text condition = TextMid(quoted, 2, TextLength(quoted) - 2);
    NearbyConditions.Set(i, condition);
    const RowIcons icons = RowIconsOf(condition);
    panel.DrawPicture(StripIcon(IconStrip(), icons.first, Rgb(0xFFFFFF)), 150, y - 27, 25, 25);
    panel.DrawPicture(StripIcon(IconStrip(), icons.second, Rgb(0xFFFFFF)), 180, y - 27, 25, 25);
    CitySlots.Set(i + 6, GroupText(row, nearby, 1));
    y += kRowPitch;
  }
}

}  // namespace qc
