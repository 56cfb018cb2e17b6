#include "query/today_section.h"

#include "app/form_state.h"
#include "app/globals.h"
#include "primitives/pattern.h"
#include "query/icon_cache.h"
#include "query/today_font.h"

namespace qc {
namespace {

constexpr char kDegrees[] = "\xA1\xE6";      // ℃
constexpr char kFelt[] = "\xCC\xE5\xB8\xD0 ";  // "体感 ", with its trailing space

const Pattern& RegionPattern() {
  static const Pattern pattern = [] {
    Pattern p;
    // 右侧主内容.*?<h3>(.*?)<span.*?>(.*?)</span>.*?>(.*?)<
    CompilePattern(p, "\xD3\xD2\xB2\xE0\xD6\xF7\xC4\xDA\xC8\xDD.*?<h3>(.*?)<span.*?>(.*?)</span>.*?>(.*?)<");
    return p;
  }();
  return pattern;
}

const Pattern& TodayPattern() {
  static const Pattern pattern = [] {
    Pattern p;
    // 今天白天 ... 180_180/(day icon)png ... (temperature)℃ ... 体感</span> ... (felt)℃ ... two
    // list items ... 今天夜间 ... 180_180/(night icon)png ... (temperature)℃ ... two list items
    CompilePattern(
        p,
        "\xBD\xF1\xCC\xEC\xB0\xD7\xCC\xEC.*?180_180/(.*?)png.*?<li>.*?>(.*?)\xA1\xE6.*?\xCC\xE5\xB8"
        "\xD0</span>.*?>(.*?)\xA1\xE6.*?<li>(.*?)</li>.*?<li>(.*?)</li>.*?\xBD\xF1\xCC\xEC\xD2\xB9"
        "\xBC\xE4.*?180_180/(.*?)png.*?<li><.*?>(.*?)\xA1\xE6.*?<li>(.*?)</li>.*?<li>(.*?)</li>");
    return p;
  }();
  return pattern;
}

void DrawIcon(const Text& path, float x, float y) {
  PanelImage->LoadFromFile(path);
  PanelSurface->DrawImageRect(*PanelImage, x, y, 80, 80);
}

}  // namespace

void DrawTodaySection(const Text& content) {
  FormState& form = Form();
  DrawPanel& panel = form.mainPanel;

  const MatchResult region = SearchPattern(RegionPattern(), content);
  form.regionLabel.Set(ConcatText({GroupText(region, content, 1), GroupText(region, content, 2),
                                   GroupText(region, content, 3)}));

  const MatchResult today = SearchPattern(TodayPattern(), content);
  auto group = [&](int k) { return GroupText(today, content, k); };

  const Text dayIcon = ResolveIcon(group(1), "PNG", "png");
  // Bound once here; the night icon is drawn through the same binding.
  PanelSurface->BindToWindow(panel.Handle());
  DrawIcon(dayIcon, 30, 35);

  panel.WriteAt(20, 135, ConcatText({group(2), kDegrees}));
  FontRecord font = panel.Font().value_or(TodayFont(12));
  font.size = 8;
  panel.SetFont(font);
  panel.WriteAt(60, 140, kFelt);
  font.size = 12;
  panel.SetFont(font);
  panel.WriteAt(85, 135, ConcatText({group(3), kDegrees}));
  panel.WriteAt(XByLength(group(4), 7, 50, 35), 155, group(4));
  panel.WriteAt(XByLength(group(5), 10, 25, 10), 180, group(5));

  DrawIcon(ResolveIcon(group(6), "PNG", "png"), 179, 35);
  panel.WriteAt(200, 135, ConcatText({group(7), kDegrees}));
  panel.WriteAt(XByLength(group(8), 7, 200, 190), 155, group(8));
  panel.WriteAt(XByLength(group(9), 10, 175, 165), 180, group(9));
}

}  // namespace qc
