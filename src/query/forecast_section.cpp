#include "query/forecast_section.h"

#include "app/form_state.h"
#include "app/globals.h"
#include "primitives/pattern.h"
#include "query/icon_cache.h"
#include "query/panel_icon.h"
#include "query/pinyin_name.h"

namespace qc {
namespace {

constexpr char kForecastStart[] = "\xCE\xB4\xC0\xB4";                                // 未来
constexpr char kForecastEnd[] = "\xB6\xA9\xD4\xC4\xCC\xEC\xC6\xF8\xB6\xCC\xD0\xC5";  // 订阅天气短信
constexpr int kColumnWidth = 120;
// The daytime icons step by 119 pixels, one less than the columns; they have always done so.
constexpr int kDayIconStep = 119;

const Pattern& DayPattern() {
  static const Pattern pattern = CompiledPattern(
      "<h4>(.*?)</h4>.*?<h5>(.*?)</h5>.*?url(.*?)png.*?<li>(.*?)</li>.*?<li.*?>(.*?)"
      "</li>.*?<li>(.*?)</li>.*?<li>(.*?)</li>.*?<h5>(.*?)</h5>.*?<li>(.*?)</li>.*?"
      "<li.*?>(.*?)</li>.*?<li>(.*?)</li>.*?<li>(.*?)</li>");
  return pattern;
}

}  // namespace

Text ForecastTextOf(const Text& content) {
  const int s = FindText(content, kForecastStart);
  const int e = FindText(content, kForecastEnd, s);
  if (s < 1 || e < 1)
    return Text();
  return TextMid(content, s, e - s);
}

Text ForecastDayIconName(const Text& address) {
  const int p = FindTextReverse(address, "/");
  if (p < 1)
    return Text();
  return TextMid(address, p + 1, TextLength(address) - p - 1);
}

std::vector<ForecastDayTexts> ScrapeForecastDays(const Text& content) {
  const Text forecast = ForecastTextOf(content);
  std::vector<ForecastDayTexts> days;
  for (const MatchResult& match : SearchAllPatterns(DayPattern(), forecast)) {
    ForecastDayTexts& day = days.emplace_back();
    for (int g = 1; g <= 12; ++g)
      day[g] = GroupText(match, forecast, g);
  }
  return days;
}

void DrawForecastSection(const Text& content) {
  DrawPanel& panel = Form().forecastPanel;
  const std::vector<ForecastDayTexts> days = ScrapeForecastDays(content);

  for (std::size_t k = 0; k < days.size(); ++k) {
    panel.WriteAt(5 + kColumnWidth * static_cast<int>(k), 5, days[k][1]);
  }

  for (std::size_t k = 0; k < days.size(); ++k) {
    const ForecastDayTexts& group = days[k];
    const int i = static_cast<int>(k);
    const int col = 20 + kColumnWidth * i;

    panel.WriteAt(col, 30, group[2]);
    const Text dayIcon = ResolveIcon(ForecastDayIconName(group[3]), ".PNG", ".png");
    PanelSurface->BindToWindow(panel.Handle());
    DrawPanelIcon(dayIcon, static_cast<float>(12 + kDayIconStep * i), 48, 40);

    panel.WriteAt(TextLength(group[4]) <= 3 ? col + 5 : col, 95, group[4]);
    panel.WriteAt(col, 110, group[5]);
    panel.WriteAt(TextLength(group[6]) <= 8 ? col : col - 20, 125, group[6]);
    panel.WriteAt(TextLength(group[7]) >= 4 ? col - 5 : col + 2, 140, group[7]);
    panel.WriteAt(col + 55, 30, group[8]);
    panel.WriteAt(TextLength(group[9]) <= 3 ? col + 60 : col + 55, 95, group[9]);

    // Still bound to this panel from the daytime icon.
    DrawPanelIcon(ResolveIcon(PinyinName(group[9]), "_1.PNG", "_1.png"),
                  static_cast<float>(68 + kColumnWidth * i), 48, 40);

    panel.WriteAt(col + 55, 110, group[10]);
    panel.WriteAt(TextLength(group[11]) <= 8 ? col + 55 : col + 40, 125, group[11]);
    panel.WriteAt(TextLength(group[12]) >= 4 ? col + 50 : col + 57, 140, group[12]);
  }
}

}  // namespace qc
