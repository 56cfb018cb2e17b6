#include <QFontMetrics>

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "drawing/draw_panel.h"
#include "drawing/draw_panel_qt.h"
#include "picture_fixtures.h"
#include "support/gbk_literal.h"

namespace qc {
namespace {

using test::BoundsOf;
using test::CountOf;
using test::Encode;
using test::Gbk;
using test::Solid;
using test::ToQRgb;

constexpr Colour kRed = Rgb(0xFF0000);
constexpr Colour kWhite = Rgb(0xFFFFFF);
constexpr QRgb kDirt = 0xFF123456;

PanelLook PlainLook(int w, int h, Colour background) {
  PanelLook look;
  look.clientWidth = w;
  look.clientHeight = h;
  look.backgroundColour = background;
  return look;
}

// Covers the whole panel with one colour, so that what a clear repaints stands out.
void Dirty(DrawPanel& panel) {
  const QImage& pixels = PanelPixels(panel);
  panel.DrawPicture(Encode(Solid(pixels.width(), pixels.height(), kDirt), "bmp"), 0, 0);
  ASSERT_EQ(CountOf(pixels, kDirt), pixels.width() * pixels.height());
}

TEST(ClearRect, RepaintsTheNormalisedRectangleOfItsArguments) {
  struct Row {
    const char* rule;
    std::optional<int> left, top, width, height;
    ClearRectOp op;  // as recorded
    QRect painted;   // empty: nothing
  };
  const std::nullopt_t none = std::nullopt;
  const Row rows[] = {
      {"no arguments: the client area", none, none, none, none, {0, 0, 8, 6}, {0, 0, 8, 6}},
      {"left only: to the right edge", 3, none, none, none, {3, 0, 8, 6}, {3, 0, 5, 6}},
      {"left and top", 3, 2, none, none, {3, 2, 8, 6}, {3, 2, 5, 4}},
      {"all four", 2, 1, 3, 2, {2, 1, 5, 3}, {2, 1, 3, 2}},
      {"negative width", 5, 1, -3, 2, {2, 1, 5, 3}, {2, 1, 3, 2}},
      {"negative height", 2, 3, 3, -2, {2, 1, 5, 3}, {2, 1, 3, 2}},
      {"width omitted, height given", 6, 4, none, 1, {6, 4, 8, 5}, {6, 4, 2, 1}},
      {"zero width", 2, 1, 0, 4, {2, 1, 2, 5}, {}},
      {"partly outside", -3, -3, 5, 5, {-3, -3, 2, 2}, {0, 0, 2, 2}},
      {"wholly outside", 20, 20, 5, 5, {20, 20, 25, 25}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    DrawPanel panel(PlainLook(8, 6, kRed));
    Dirty(panel);
    panel.SetRecording(Recording::On);
    panel.ClearRect(row.left, row.top, row.width, row.height);

    const QImage& pixels = PanelPixels(panel);
    EXPECT_EQ(BoundsOf(pixels, ToQRgb(kRed)), row.painted);
    EXPECT_EQ(CountOf(pixels, ToQRgb(kRed)), row.painted.width() * row.painted.height());
    ASSERT_EQ(panel.Ops().size(), 1u);
    const auto& op = std::get<ClearRectOp>(panel.Ops()[0]);
    EXPECT_EQ(std::tie(op.left, op.top, op.right, op.bottom),
              std::tie(row.op.left, row.op.top, row.op.right, row.op.bottom));
  }
}

TEST(ClearRect, NoBackgroundColourMeansButtonFace) {
  DrawPanel panel(PlainLook(4, 3, kNoColour));
  EXPECT_EQ(CountOf(PanelPixels(panel), ToQRgb(kButtonFace)), 12);
}

// A 3 x 2 tile whose six pixels all differ.
QImage Tile() {
  QImage tile(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      tile.setPixel(x, y, qRgb(40 * x + 10, 100 * y + 20, 7));
  return tile;
}

TEST(ClearRect, TilesStartAtTheClientCornerSoAPartialClearLinesUp) {
  PanelLook look = PlainLook(10, 7, kRed);
  look.backgroundPicture = Encode(Tile(), "bmp");
  look.layout = PictureLayout::Tiled;
  DrawPanel panel(look);
  const QImage full = PanelPixels(panel).copy();
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(full.pixel(x, y), Tile().pixel(x % 3, y % 2)) << x << "," << y;

  Dirty(panel);
  panel.ClearRect(4, 3, 5, 3);
  const QImage& pixels = PanelPixels(panel);
  const QRect cleared(4, 3, 5, 3);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(pixels.pixel(x, y), cleared.contains(x, y) ? full.pixel(x, y) : kDirt)
          << x << "," << y;
}

TEST(ClearRect, PlacesThePictureByLayoutAndFillsTheRestWithTheBackground) {
  constexpr QRgb kPicture = 0xFF2040C0;
  struct Row {
    const char* rule;
    PictureLayout layout;
    QSize client, picture;
    QRect placed;
  };
  const Row rows[] = {
      {"natural: own size at the top-left", PictureLayout::Natural, {20, 10}, {6, 4}, {0, 0, 6, 4}},
      {"natural: clipped by the client", PictureLayout::Natural, {5, 5}, {9, 3}, {0, 0, 5, 3}},
      {"fit: a wide strip on the nearby-cities panel",
       PictureLayout::FitCentred,
       {214, 398},
       {257, 28},
       {0, 187, 214, 23}},
      {"fit: a tall picture", PictureLayout::FitCentred, {40, 20}, {10, 40}, {17, 0, 5, 20}},
      {"fit: never enlarged, centred", PictureLayout::FitCentred, {20, 20}, {10, 4}, {5, 8, 10, 4}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    PanelLook look = PlainLook(row.client.width(), row.client.height(), kWhite);
    look.backgroundPicture =
        Encode(Solid(row.picture.width(), row.picture.height(), kPicture), "bmp");
    look.layout = row.layout;
    DrawPanel panel(look);
    const QImage& pixels = PanelPixels(panel);
    EXPECT_EQ(BoundsOf(pixels, kPicture), row.placed);
    EXPECT_EQ(CountOf(pixels, kPicture), row.placed.width() * row.placed.height());
    EXPECT_EQ(CountOf(pixels, ToQRgb(kWhite)),
              pixels.width() * pixels.height() - row.placed.width() * row.placed.height());
  }
}

TEST(ClearRect, RepaintsThePictureOnlyWhereTheRectangleCoversIt) {
  PanelLook look = PlainLook(214, 398, kWhite);
  look.backgroundPicture = Encode(Solid(257, 28, 0xFF2040C0), "bmp");
  look.layout = PictureLayout::FitCentred;
  DrawPanel panel(look);
  Dirty(panel);
  panel.ClearRect(0, 200);
  const QImage& pixels = PanelPixels(panel);
  EXPECT_EQ(BoundsOf(pixels, 0xFF2040C0), QRect(0, 200, 214, 10));
  EXPECT_EQ(BoundsOf(pixels, kDirt), QRect(0, 0, 214, 200));
}

TEST(DrawLine, PaintsUpToButNotIncludingTheEndPoint) {
  struct Row {
    const char* rule;
    int x1, y1, x2, y2;
    std::vector<QPoint> painted;
  };
  const Row rows[] = {
      {"horizontal", 1, 1, 5, 1, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {"leftwards", 5, 2, 2, 2, {{5, 2}, {4, 2}, {3, 2}}},
      {"diagonal", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
      {"upwards", 2, 4, 2, 1, {{2, 4}, {2, 3}, {2, 2}}},
      {"shallow", 0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
      {"a single point is no line", 3, 3, 3, 3, {}},
      {"ends far outside",
       -1000000000,
       5,
       1000000000,
       5,
       {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    PanelLook look = PlainLook(6, 6, kWhite);
    look.penColour = kRed;
    DrawPanel panel(look);
    panel.DrawLine(row.x1, row.y1, row.x2, row.y2);
    const QImage& pixels = PanelPixels(panel);
    EXPECT_EQ(CountOf(pixels, ToQRgb(kRed)), int(row.painted.size()));
    for (QPoint p : row.painted)
      EXPECT_EQ(pixels.pixel(p), ToQRgb(kRed)) << p.x() << "," << p.y();
  }
}

TEST(DrawLine, CombinesWithThePanelByTheDrawMode) {
  PanelLook look = PlainLook(6, 3, Rgb(0x00FF00));
  look.penColour = Rgb(0xFF00FF);
  look.drawMode = 6;  // XOR pen, 7 as Windows counts
  DrawPanel panel(look);
  panel.DrawLine(0, 1, 6, 1);
  EXPECT_EQ(CountOf(PanelPixels(panel), qRgb(0xFF, 0xFF, 0xFF)), 6);
  panel.DrawLine(0, 1, 6, 1);
  EXPECT_EQ(CountOf(PanelPixels(panel), qRgb(0, 0xFF, 0)), 18);
}

// The rows holding any pixel other than the background, grouped into runs of adjacent rows.
std::vector<std::pair<int, int>> InkRowRuns(const QImage& image, QRgb background) {
  std::vector<std::pair<int, int>> runs;
  for (int y = 0; y < image.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < image.width() && !ink; ++x)
      ink = image.pixel(x, y) != background;
    if (!ink)
      continue;
    if (!runs.empty() && runs.back().second == y - 1)
      runs.back().second = y;
    else
      runs.push_back({y, y});
  }
  return runs;
}

FontRecord SongBold12() {
  FontRecord font;
  font.bold = 1;
  font.size = 12;
  font.face = Gbk("宋体");
  return font;
}

TEST(WriteAt, PutsEachLineBelowThePreviousOneWithTwoPixelsBetween) {
  const int height = QFontMetrics(QtFontOf(SongBold12())).height();
  ASSERT_EQ(height, 16);
  struct Row {
    const char* rule;
    std::string text;
    int secondLine;  // index of the line the second glyph is on
  };
  const Row rows[] = {
      {"CR LF", "国\r\n国", 1},
      {"LF", "国\n国", 1},
      {"CR", "国\r国", 1},
      {"an empty line counts a full line", "国\r\n\r\n国", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    DrawPanel panel(PlainLook(60, 90, 0));
    panel.SetFont(SongBold12());
    panel.SetTextColour(kWhite);
    panel.SetRecording(Recording::On);
    panel.WriteAt(10, 5, Gbk(row.text));

    auto runs = InkRowRuns(PanelPixels(panel), qRgb(0, 0, 0));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_GE(runs[0].first, 5);
    EXPECT_LT(runs[0].second, 5 + height);
    EXPECT_EQ(runs[1].first - runs[0].first, row.secondLine * (height + 2));
    EXPECT_EQ(BoundsOf(PanelPixels(panel).copy(0, runs[1].first, 60, 1), qRgb(255, 255, 255)).x(),
              BoundsOf(PanelPixels(panel).copy(0, runs[0].first, 60, 1), qRgb(255, 255, 255)).x());

    const auto& op = std::get<WriteAtOp>(panel.Ops().at(0));
    EXPECT_EQ(op.text, Gbk(row.text));
    EXPECT_EQ(std::tie(op.x, op.y, op.colour), std::make_tuple(10, 5, kWhite));
    ASSERT_TRUE(op.font);
    EXPECT_EQ(op.font->face, Gbk("宋体"));
    EXPECT_EQ(op.font->size, 12);
    EXPECT_TRUE(op.font->bold);
  }
}

TEST(WriteAt, FillsTheLineCellOnlyWithAnOpaqueTextBackground) {
  const int height = QFontMetrics(DefaultGuiFont()).height();
  DrawPanel panel(PlainLook(80, 60, 0));
  panel.SetTextColour(kWhite);
  panel.SetRecording(Recording::On);
  panel.WriteAt(4, 4, "ab");
  EXPECT_EQ(CountOf(PanelPixels(panel), ToQRgb(kRed)), 0);
  EXPECT_GT(CountOf(PanelPixels(panel), qRgb(255, 255, 255)), 0);
  EXPECT_FALSE(std::get<WriteAtOp>(panel.Ops().at(0)).font) << "no font: the default GUI font";

  panel.SetTextBackground(kRed);
  panel.WriteAt(4, 30, "ab");
  QRect cell = BoundsOf(PanelPixels(panel), ToQRgb(kRed));
  EXPECT_EQ(cell.top(), 30);
  EXPECT_EQ(cell.left(), 4);
  EXPECT_EQ(cell.height(), height);
}

TEST(WriteAt, AnEmptyTextDrawsNothingButIsRecorded) {
  DrawPanel panel(PlainLook(20, 20, 0));
  panel.SetTextColour(kWhite);
  panel.SetRecording(Recording::On);
  panel.WriteAt(2, 2, "");
  EXPECT_EQ(CountOf(PanelPixels(panel), qRgb(0, 0, 0)), 400);
  EXPECT_EQ(panel.Ops().size(), 1u);
}

TEST(DrawPicture, DrawsTheRecognisedFormatsOnly) {
  const QRgb kBlue = 0xFF0000FF;
  const QRgb kBlack = 0xFF000000;
  struct Row {
    const char* rule;
    Bytes bytes;
    std::optional<std::string> format;
    std::optional<QRgb> drawn;  // none: the panel stays as it was
  };
  const Row rows[] = {
      {"BMP", Encode(Solid(4, 4, kBlue), "bmp"), "BMP", kBlue},
      {"JPEG", Encode(Solid(8, 8, kBlue), "jpeg"), "JPEG", kBlue},
      {"GIF89a", test::OnePixelGif(true, 0, 0, 255), "GIF", kBlue},
      {"GIF87a", test::OnePixelGif(false, 0, 0, 255), "GIF", kBlue},
      {"icon", Encode(Solid(4, 4, kBlue), "ico"), "ICO", kBlue},
      {"cursor", test::EncodeCursor(Solid(4, 4, kBlue)), "CUR", kBlue},
      {"PCX, 8 bits", test::MakePcx({.bits = 8, .bytesPerLine = 2}, {1}, {}, {0, kBlue}), "PCX",
       kBlue},
      {"PCX, version 3 with 1 bit",
       test::MakePcx({.version = 3, .bits = 1, .bytesPerLine = 2}, {0}), "PCX", kBlack},
      {"PNG is not a panel picture", Encode(Solid(4, 4, kBlue), "png"), std::nullopt, {}},
      {"fewer than six bytes", Bytes{'B', 'M', 0, 0, 0}, std::nullopt, {}},
      {"a BMP signature over garbage", Bytes{'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8}, "BMP", {}},
      {"PCX with a version above 5", test::MakePcx({.version = 6}, {1}), std::nullopt, {}},
      {"PCX with 4 bits", test::MakePcx({.bits = 4}, {0x11}), std::nullopt, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    EXPECT_EQ(PictureFormatOf(row.bytes), row.format);
    DrawPanel panel(PlainLook(12, 12, kWhite));
    panel.SetRecording(Recording::On);
    panel.DrawPicture(row.bytes, 2, 3, 6, 6);
    const QImage& pixels = PanelPixels(panel);
    EXPECT_EQ(CountOf(pixels, ToQRgb(kWhite)), row.drawn ? 144 - 36 : 144);
    if (row.drawn) {
      for (QPoint corner : {QPoint(2, 3), QPoint(7, 8)}) {
        QRgb p = pixels.pixel(corner);
        EXPECT_NEAR(qRed(p), qRed(*row.drawn), 8);
        EXPECT_NEAR(qGreen(p), qGreen(*row.drawn), 8);
        EXPECT_NEAR(qBlue(p), qBlue(*row.drawn), 8);
      }
    }
    const auto& op = std::get<DrawPictureOp>(panel.Ops().at(0));
    EXPECT_EQ(op.format, row.format);
    EXPECT_EQ(std::tie(op.left, op.top, op.width, op.height), std::make_tuple(2, 3, 6, 6));
  }
}

TEST(DrawPicture, RefusesAFewBytesThatClaimAHugeCanvas) {
  // Qt would clear a 64 MB canvas for either of these 35 bytes before finding one pixel.
  const Bytes claims[] = {test::OnePixelGif(true, 0, 0, 255, 4000, 4000),
                          test::OnePixelGif(true, 0, 0, 255, 0, 0, 3999, 3999)};
  for (const Bytes& gif : claims) {
    DrawPanel panel(PlainLook(12, 12, kWhite));
    panel.DrawPicture(gif, 0, 0, 12, 12);
    EXPECT_EQ(CountOf(PanelPixels(panel), ToQRgb(kWhite)), 144);
  }
  // The same structure at a believable size draws.
  DrawPanel panel(PlainLook(12, 12, kWhite));
  panel.DrawPicture(test::OnePixelGif(true, 0, 0, 255, 2, 2, 1, 1), 0, 0, 12, 12);
  EXPECT_LT(CountOf(PanelPixels(panel), ToQRgb(kWhite)), 144);
}

TEST(DrawPicture, StretchesBitmapsOpaquelyAndBlendsIcons) {
  DrawPanel panel(PlainLook(40, 40, kWhite));
  panel.SetRecording(Recording::On);
  // A bitmap's own alpha does not count: the square is solid red.
  panel.DrawPicture(Encode(Solid(5, 5, 0x80FF0000), "bmp"), 3, 4, 25, 25);
  EXPECT_EQ(BoundsOf(PanelPixels(panel), qRgb(255, 0, 0)), QRect(3, 4, 25, 25));
  EXPECT_EQ(CountOf(PanelPixels(panel), qRgb(255, 0, 0)), 625);

  panel.ClearRect();
  panel.DrawPicture(Encode(Solid(4, 4, 0x80FF0000), "ico"), 0, 0);
  QRgb blended = PanelPixels(panel).pixel(1, 1);
  EXPECT_EQ(qRed(blended), 255);
  EXPECT_NEAR(qGreen(blended), 127, 2);
  EXPECT_EQ(BoundsOf(PanelPixels(panel), blended), QRect(0, 0, 4, 4));

  const auto& own = std::get<DrawPictureOp>(panel.Ops().back());
  EXPECT_EQ(std::tie(own.width, own.height), std::make_tuple(4, 4)) << "omitted: own size";
}

TEST(DrawPicture, ANegativeWidthMirrorsIntoTheRectangleToTheLeft) {
  QImage picture(2, 1, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(255, 0, 0));
  picture.setPixel(1, 0, qRgb(0, 0, 255));
  DrawPanel panel(PlainLook(6, 1, kWhite));
  panel.DrawPicture(Encode(picture, "bmp"), 4, 0, -2, 1);
  EXPECT_EQ(PanelPixels(panel).pixel(2, 0), qRgb(0, 0, 255));
  EXPECT_EQ(PanelPixels(panel).pixel(3, 0), qRgb(255, 0, 0));
  EXPECT_EQ(PanelPixels(panel).pixel(4, 0), qRgb(255, 255, 255));
}

TEST(DrawPanel, RecordsEveryOperationInOrderOnlyWhileRecordingIsOn) {
  PanelLook look = PlainLook(10, 10, kWhite);
  look.penColour = kRed;
  DrawPanel panel(look);
  panel.ClearRect();
  panel.DrawLine(0, 0, 3, 3);
  EXPECT_TRUE(panel.Ops().empty()) << "off by default";

  panel.SetRecording(Recording::On);
  panel.ClearRect(1, 1, 2, 2);
  panel.DrawLine(0, 0, 3, 3);
  panel.WriteAt(1, 1, "x");
  panel.DrawPicture(Bytes{1, 2, 3}, 1, 1);
  ASSERT_EQ(panel.Ops().size(), 4u);
  EXPECT_TRUE(std::holds_alternative<ClearRectOp>(panel.Ops()[0]));
  EXPECT_EQ(std::get<DrawLineOp>(panel.Ops()[1]).colour, kRed);
  EXPECT_TRUE(std::holds_alternative<WriteAtOp>(panel.Ops()[2]));
  const auto& picture = std::get<DrawPictureOp>(panel.Ops()[3]);
  EXPECT_FALSE(picture.format);
  EXPECT_EQ(picture.sha1, "7037807198c22a7d2b0807371d763779a84fdfcf");  // sha1 of 01 02 03

  panel.SetRecording(Recording::Off);
  EXPECT_TRUE(panel.Ops().empty());
}

TEST(DrawPanel, NotifiesItsViewAfterEachDrawingChange) {
  DrawPanel panel(PlainLook(10, 10, kWhite));
  int changes = 0;
  panel.SetChangedCallback([&] { ++changes; });
  panel.ClearRect();
  panel.DrawLine(0, 0, 3, 3);
  panel.WriteAt(1, 1, "x");
  panel.DrawPicture(Encode(Solid(2, 2, 0xFF000000), "bmp"), 0, 0);
  EXPECT_EQ(changes, 4);
}

TEST(DrawPanel, AHandleNamesItsPanelOnlyWhileThePanelLives) {
  WindowHandle stale;
  {
    DrawPanel a(PlainLook(2, 2, kWhite));
    DrawPanel b(PlainLook(2, 2, kWhite));
    EXPECT_NE(a.Handle(), 0u);
    EXPECT_NE(a.Handle(), b.Handle());
    EXPECT_EQ(DrawPanel::FromHandle(a.Handle()), &a);
    EXPECT_EQ(DrawPanel::FromHandle(b.Handle()), &b);
    stale = a.Handle();
  }
  DrawPanel c(PlainLook(2, 2, kWhite));
  EXPECT_EQ(DrawPanel::FromHandle(stale), nullptr);
  EXPECT_EQ(DrawPanel::FromHandle(0), nullptr);
}

TEST(DrawPanel, HostileArgumentsStayBoundedAndHarmless) {
  DrawPanel panel(PlainLook(300, 208, kWhite));
  const auto start = std::chrono::steady_clock::now();
  panel.ClearRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  panel.ClearRect(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
  panel.DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  panel.DrawLine(INT_MAX, 3, INT_MIN, 5);
  panel.WriteAt(INT_MIN, INT_MAX, "a\nb");
  panel.WriteAt(0, 0, std::string(200000, '\n') + "x");
  panel.WriteAt(-5, 0, std::string(100000, 'x'));
  panel.DrawPicture(Encode(Solid(3, 3, 0xFF000000), "bmp"), INT_MAX, INT_MIN, INT_MIN, INT_MAX);
  panel.DrawPicture(Encode(Solid(3, 3, 0xFF000000), "bmp"), 0, 0, 1 << 30, 1 << 30);
  FontRecord huge;
  huge.size = INT_MAX;
  huge.angle = 12345;
  panel.SetFont(huge);
  panel.WriteAt(10, 10, "x");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  PanelLook absurd = PlainLook(INT_MAX, -7, kWhite);
  absurd.backgroundPicture = Bytes{'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF};
  DrawPanel none(absurd);
  none.ClearRect();
  none.WriteAt(0, 0, "x");
  EXPECT_TRUE(PanelPixels(none).isNull());
}

}  // namespace
}  // namespace qc
