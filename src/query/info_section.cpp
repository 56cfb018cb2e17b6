#include "query/info_section.h"

#include "app/form_state.h"
#include "primitives/pattern.h"

namespace qc {
namespace {

constexpr char kSunriseMarker[] =
    "\xC8\xD5\xB3\xF6\xC8\xD5\xC2\xE4\xCA\xB1\xBC\xE4";  // 日出日落时间
constexpr char kIndexMarker[] = "<!-- \xC9\xFA\xBB\xEE\xD6\xB8\xCA\xFD begin -->";  // 生活指数
constexpr char kTableEnd[] = "</table>";
constexpr int kLinePitch = 20;

const Pattern& CellPattern() {
  static const Pattern pattern = CompiledPattern("<td>(.*?)</td>");
  return pattern;
}

const Pattern& PairPattern() {
  static const Pattern pattern = CompiledPattern("<td>(.*?)</td>.*?<td>(.*?)</td>");
  return pattern;
}

}  // namespace

Text SunriseTableOf(const Text& content) {
  // The table starts 17 bytes before its heading; without the heading the start falls below
  // byte 1 and the table is empty.
  const int s = FindText(content, kSunriseMarker) - 17;
  const int e = FindText(content, kTableEnd, s);
  if (s < 1)
    return Text();
  return TextMid(content, s, e - s);
}

Text LivingIndexTableOf(const Text& content) {
  const int z = FindText(content, kIndexMarker);
  if (z <= 0)
    return Text();
  const int e = FindText(content, kTableEnd, z);
  return TextMid(content, z, e - z);
}

InfoLines ScrapeInfo(const Text& content) {
  InfoLines lines;
  const Text sunrise = SunriseTableOf(content);
  for (const MatchResult& cell : SearchAllPatterns(CellPattern(), sunrise)) {
    lines.sunrise.push_back(RemoveSpaces(GroupText(cell, sunrise, 1)));
  }
  const Text index = LivingIndexTableOf(content);
  for (const MatchResult& pair : SearchAllPatterns(PairPattern(), index)) {
    lines.livingIndex.push_back(ConcatText({GroupText(pair, index, 1), GroupText(pair, index, 2)}));
  }
  return lines;
}

void DrawInfoSection(const Text& content) {
  DrawPanel& panel = Form().infoPanel;
  const InfoLines lines = ScrapeInfo(content);
  // Every line is written, also those that fall below the panel.
  int y = 40;
  for (const Text& line : lines.sunrise) {
    panel.WriteAt(10, y, line);
    y += kLinePitch;
  }
  y = 135;
  for (const Text& line : lines.livingIndex) {
    panel.WriteAt(10, y, line);
    y += kLinePitch;
  }
}

}  // namespace qc
