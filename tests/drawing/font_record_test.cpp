#include <QFontInfo>

#include <gtest/gtest.h>

#include "drawing/draw_panel.h"
#include "drawing/draw_panel_qt.h"
#include "drawing/font_record.h"
#include "support/gbk_literal.h"

namespace qc {
namespace {

using test::Gbk;

FontRecord WithFace(const Text& face) {
  FontRecord font;
  font.face = face;
  return font;
}

TEST(FontRecord, AnAbsentOrOverlongFaceBecomesSong) {
  const Text song = Gbk("宋体");
  struct Row {
    const char* rule;
    Text face, effective;
  };
  const Row rows[] = {
      {"absent", "", song},
      {"another face is kept", Gbk("黑体"), Gbk("黑体")},
      {"31 bytes still fit", std::string(31, 'a'), std::string(31, 'a')},
      {"32 bytes do not", std::string(32, 'a'), song},
      {"a zero byte ends the name", std::string("Arial\0Bold", 10), "Arial"},
      {"nothing before a zero byte", std::string("\0x", 2), song},
  };
  for (const Row& row : rows)
    EXPECT_EQ(EffectiveFace(WithFace(row.face)), row.effective) << row.rule;
}

TEST(FontRecord, CharacterHeightIsThePointSizeAtTheScreenResolutionRoundedAsMulDiv) {
  struct Row {
    int size, dpi, height;
  };
  const Row rows[] = {{12, 96, 16},  {8, 96, 11}, {9, 96, 12}, {10, 96, 13},
                      {12, 120, 20}, {1, 96, 1},  {0, 96, 0},  {-5, 96, 0}};
  for (const Row& row : rows) {
    FontRecord font;
    font.size = row.size;
    EXPECT_EQ(CharacterHeight(font, row.dpi), row.height) << row.size << " pt at " << row.dpi;
  }
}

TEST(FontRecord, MapsToTheSongFaceAtItsEmHeight) {
  FontRecord font = WithFace(Gbk("宋体"));
  font.size = 12;
  font.bold = 1;
  QFont qfont = QtFontOf(font);
  EXPECT_EQ(QFontInfo(qfont).family(), "AR PL UMing CN");
  EXPECT_EQ(qfont.pixelSize(), 16);
  EXPECT_EQ(qfont.weight(), QFont::Bold);

  // A face that is not installed falls back to the Song face, as Windows' font mapper does
  // for Chinese text.
  EXPECT_EQ(QFontInfo(QtFontOf(WithFace("NoSuchFace"))).family(), "AR PL UMing CN");
  EXPECT_EQ(QFontInfo(DefaultGuiFont()).family(), "WenQuanYi Zen Hei");
  EXPECT_EQ(DefaultGuiFont().pixelSize(), 12);
}

TEST(FontRecord, ANegativeSizeDrawsLikeSizeZero) {
  auto draw = [](int size) {
    PanelLook look;
    look.clientWidth = 60;
    look.clientHeight = 30;
    look.backgroundColour = 0;
    DrawPanel panel(look);
    FontRecord font = WithFace(Gbk("宋体"));
    font.size = size;
    panel.SetFont(font);
    panel.SetTextColour(0xFFFFFF);
    panel.WriteAt(2, 2, Gbk("天气晴"));
    return PanelPixels(panel).copy();
  };
  const QImage zero = draw(0);
  EXPECT_EQ(draw(-5), zero);
  EXPECT_NE(draw(12), zero);
}

}  // namespace
}  // namespace qc
