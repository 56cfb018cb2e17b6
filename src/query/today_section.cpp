#include "query/today_section.h"

#include "app/form_state.h"
#include "app/globals.h"
#include "primitives/pattern.h"
#include "query/icon_cache.h"
#include "query/panel_icon.h"
#include "query/today_font.h"

namespace qc {
namespace {

constexpr char kDegrees[] = "\xA1\xE6";        // ℃
constexpr char kFelt[] = "\xCC\xE5\xB8\xD0 ";  // "体感 ", with its trailing space

const Pattern& RegionPattern() {
  // 右侧主内容.*?<h3>(.*?)<span.*?>(.*?)</span>.*?>(.*?)<
  static const Pattern pattern = CompiledPattern(
      "\xD3\xD2\xB2\xE0\xD6\xF7\xC4\xDA\xC8\xDD.*?<h3>(.*?)<span.*?>(.*?)</span>.*?>(.*?)<");
  return pattern;
}

const Pattern& TodayPattern() {
  // 今天白天 ... 180_180/(day icon)png ... (temperature)℃ ... 体感</span> ... (felt)℃ ... two
  // list items ... 今天夜间 ... 180_180/(night icon)png ... (temperature)℃ ... two list items
  static const Pattern pattern = CompiledPattern(
      "\xBD\xF1\xCC\xEC\xB0\xD7\xCC\xEC.*?180_180/(.*?)png.*?<li>.*?>(.*?)\xA1\xE6.*?\xCC\xE5\xB8"
      "\xD0</span>.*?>(.*?)\xA1\xE6.*?<li>(.*?)</li>.*?<li>(.*?)</li>.*?\xBD\xF1\xCC\xEC\xD2\xB9"
      "\xBC\xE4.*?180_180/(.*?)png.*?<li><.*?>(.*?)\xA1\xE6.*?<li>(.*?)</li>.*?<li>(.*?)</li>");
  return pattern;
}

}  // namespace

TodayValues ScrapeToday(const Text& content) {
  TodayValues values;
  const MatchResult region = SearchPattern(RegionPattern(), content);
  values.region = ConcatText({GroupText(region, content, 1), GroupText(region, content, 2),
                              GroupText(region, content, 3)});
  const MatchResult today = SearchPattern(TodayPattern(), content);
  Text* const groups[] = {&values.dayIcon,          &values.dayTemperature, &values.feltTemperature,
                          &values.dayLine1,         &values.dayLine2,       &values.nightIcon,
                          &values.nightTemperature, &values.nightLine1,     &values.nightLine2};
  for (int k = 1; k <= 9; ++k)
    *groups[k - 1] = GroupText(today, content, k);
  return values;
}

void DrawTodaySection(const Text& content) {
  FormState& form = Form();
  DrawPanel& panel = form.mainPanel;
  const TodayValues today = ScrapeToday(content);
  form.regionLabel.Set(today.region);

  const Text dayIcon = ResolveIcon(today.dayIcon, "PNG", "png");
  // Bound once here; the night icon is drawn through the same binding.
  PanelSurface->BindToWindow(panel.Handle());
  DrawPanelIcon(dayIcon, 30, 35, 80);

  panel.WriteAt(20, 135, ConcatText({today.dayTemperature, kDegrees}));
  FontRecord font = panel.Font().value_or(TodayFont(12));
  font.size = 8;
  panel.SetFont(font);
  panel.WriteAt(60, 140, kFelt);
  font.size = 12;
  panel.SetFont(font);
  panel.WriteAt(85, 135, ConcatText({today.feltTemperature, kDegrees}));
  panel.WriteAt(XByLength(today.dayLine1, 7, 50, 35), 155, today.dayLine1);
  panel.WriteAt(XByLength(today.dayLine2, 10, 25, 10), 180, today.dayLine2);

  DrawPanelIcon(ResolveIcon(today.nightIcon, "PNG", "png"), 179, 35, 80);
  panel.WriteAt(200, 135, ConcatText({today.nightTemperature, kDegrees}));
  panel.WriteAt(XByLength(today.nightLine1, 7, 200, 190), 155, today.nightLine1);
  panel.WriteAt(XByLength(today.nightLine2, 10, 175, 165), 180, today.nightLine2);
}

}  // namespace qc
