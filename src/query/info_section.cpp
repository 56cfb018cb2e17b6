#include "query/info_section.h"

#include "app/form_state.h"
#include "primitives/pattern.h"

namespace qc {
namespace {

constexpr char kSunriseMarker[] = "\xC8\xD5\xB3\xF6\xC8\xD5\xC2\xE4\xCA\xB1\xBC\xE4";  // 日出日落时间
constexpr char kIndexMarker[] = "<!-- \xC9\xFA\xBB\xEE\xD6\xB8\xCA\xFD begin -->";  // 生活指数
constexpr char kTableEnd[] = "</table>";
constexpr int kLinePitch = 20;

const Pattern& CellPattern() {
  static const Pattern pattern = [] {
    Pattern p;
    CompilePattern(p, "<td>(.*?)</td>");
    return p;
  }();
  return pattern;
}

const Pattern& PairPattern() {
  static const Pattern pattern = [] {
    Pattern p;
    CompilePattern(p, "<td>(.*?)</td>.*?<td>(.*?)</td>");
    return p;
  }();
  return pattern;
}

}  // namespace

Text SunriseTableOf(const Text& content) {
  // The table starts 17 bytes before its heading; without the heading the start falls below
  // byte 1 and the table is empty.
  const int s = FindText(content, kSunriseMarker) - 17;
  const int e = FindText(content, kTableEnd, s);
  if (s < 1) return Text();
  return TextMid(content, s, e - s);
}

Text LivingIndexTableOf(const Text& content) {
  const int z = FindText(content, kIndexMarker);
  if (z <= 0) return Text();
  const int e = FindText(content, kTableEnd, z);
  return TextMid(content, z, e - z);
}

void DrawInfoSection(const Text& content) {
  DrawPanel& panel = Form().infoPanel;

  const Text sunrise = SunriseTableOf(content);
  int y = 40;
  for (const MatchResult& cell : SearchAllPatterns(CellPattern(), sunrise)) {
    panel.WriteAt(10, y, RemoveSpaces(GroupText(cell, sunrise, 1)));
    y += kLinePitch;
  }

  const Text index = LivingIndexTableOf(content);
  y = 135;
  for (const MatchResult& pair : SearchAllPatterns(PairPattern(), index)) {
    panel.WriteAt(10, y, ConcatText({GroupText(pair, index, 1), GroupText(pair, index, 2)}));
    y += kLinePitch;
  }
}

}  // namespace qc
