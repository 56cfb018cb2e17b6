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
  static const Pattern pattern = CompiledPattern(
      "city=(.*?)&dpc=1.*?<span.*?>(.*?)</span>.*?>(.*?)<.*?title=(.*?)>.*?title=(.*?)>");
  return pattern;
}

}  // namespace

Text NearbyTextOf(const Text& content) {
  return TextLeft(content, FindText(content, kNearbyMarker));
}

std::vector<NearbyRow> ScrapeNearbyRows(const Text& content) {
  const Text nearby = NearbyTextOf(content);
  const std::vector<MatchResult> matches = SearchAllPatterns(RowPattern(), nearby);
  const std::size_t n = std::min(matches.size(), static_cast<std::size_t>(kMaxNearbyRows));
  std::vector<NearbyRow> rows;
  rows.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const MatchResult& match = matches[i];
    const Text quoted = TrimSpaces(GroupText(match, nearby, 4));
    rows.push_back({GroupText(match, nearby, 1), GroupText(match, nearby, 2),
                    GroupText(match, nearby, 3), TextMid(quoted, 2, TextLength(quoted) - 2)});
  }
  return rows;
}

void DrawNearbySection(const Text& content) {
  DrawPanel& panel = Form().followedPanel;
  NearbyConditions = TextArray(6);
  // Rows that this page does not list must not keep the query names of an earlier page, or a
  // press on an empty row would query a city that is no longer shown.
  for (int slot = kFirstNearbySlot; slot < kFirstNearbySlot + kMaxNearbyRows; ++slot) {
    CitySlots.Set(slot, Text());
  }

  int y = kFirstRuleY;
  int i = 1;
  for (const NearbyRow& row : ScrapeNearbyRows(content)) {
    panel.DrawLine(0, y, 216, y);
    panel.WriteAt(10, y - 23, row.name);
    panel.WriteAt(70, y - 23, row.temperatures);
    NearbyConditions.Set(i, row.condition);
    const RowIcons icons = RowIconsOf(row.condition);
    panel.DrawPicture(StripIcon(IconStrip(), icons.first, Rgb(0xFFFFFF)), 150, y - 27, 25, 25);
    panel.DrawPicture(StripIcon(IconStrip(), icons.second, Rgb(0xFFFFFF)), 180, y - 27, 25, 25);
    CitySlots.Set(i + 6, row.queryName);
    y += kRowPitch;
    ++i;
  }
}

}  // namespace qc
