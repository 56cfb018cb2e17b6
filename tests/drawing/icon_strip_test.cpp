#include "drawing/icon_strip.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace qc {
namespace {

// Where the embedded stream keeps its parts: the reader must agree with these, and the tests
// read the pictures through them independently of it.
constexpr std::size_t kListAt = 8;
constexpr std::size_t kColourAt = 36;
constexpr std::size_t kColourPixelsAt = kColourAt + 54;
constexpr std::size_t kMaskAt = 250970;
constexpr std::size_t kMaskPixelsAt = kMaskAt + 62;
constexpr int kSheetHeight = 448;
constexpr int kCellW = 35;
constexpr int kCellH = 32;
constexpr std::size_t kIconBmpSize = 54 + kCellW * kCellH * 4;

const Colour kMagenta = Rgb(0xFF00FF);

struct Pixel {
  int r, g, b;
  bool operator==(const Pixel&) const = default;
  friend void PrintTo(const Pixel& p, std::ostream* os) {
    *os << "rgb(" << p.r << "," << p.g << "," << p.b << ")";
  }
};

Pixel SheetPixel(std::span<const std::uint8_t> strip, int x, int y) {
  const std::uint8_t* p = strip.data() + kColourPixelsAt +
                          static_cast<std::size_t>(kSheetHeight - 1 - y) * 140 * 4 + x * 4;
  return {p[2], p[1], p[0]};
}

bool SheetTransparent(std::span<const std::uint8_t> strip, int x, int y) {
  const std::uint8_t row = strip[kMaskPixelsAt + (kSheetHeight - 1 - y) * 20 + x / 8];
  return (row & (0x80 >> (x % 8))) != 0;
}

QImage Decode(const Bytes& bmp) {
  QImage image;
  image.loadFromData(bmp.data(), static_cast<int>(bmp.size()), "BMP");
  return image;
}

Pixel At(const QImage& image, int x, int y) {
  const QRgb c = image.pixel(x, y);
  return {qRed(c), qGreen(c), qBlue(c)};
}

TEST(IconStrip, EmbeddedIconsAreDistinctBitmapsOfOneCell) {
  const std::span<const std::uint8_t> strip = IconStrip();
  ASSERT_EQ(strip.size(), 259992u);
  std::vector<Bytes> icons;
  for (int index : {0, 1, 53}) {
    Bytes bmp = StripIcon(strip, index);
    ASSERT_EQ(bmp.size(), kIconBmpSize) << index;
    const QImage image = Decode(bmp);
    ASSERT_FALSE(image.isNull()) << index;
    EXPECT_EQ(image.width(), kCellW);
    EXPECT_EQ(image.height(), kCellH);
    icons.push_back(std::move(bmp));
  }
  EXPECT_NE(icons[0], icons[1]);
  EXPECT_NE(icons[0], icons[2]);
  EXPECT_NE(icons[1], icons[2]);
}

TEST(IconStrip, IndexesOutsideTheListGiveNothing) {
  for (int index : {-1, 54, 55, 100, INT32_MIN, INT32_MAX}) {
    EXPECT_TRUE(StripIcon(IconStrip(), index).empty()) << index;
  }
}

// Every icon comes from its own cell (column index % 4, row index / 4 from the top of the
// bottom-up sheet), and the background shows through exactly where the mask is set.
TEST(IconStrip, EachIconIsItsCellWithTheBackgroundBehindTheMask) {
  const std::span<const std::uint8_t> strip = IconStrip();
  for (int index = 0; index < 54; ++index) {
    const QImage on_white = Decode(StripIcon(strip, index, Rgb(0xFFFFFF)));
    const QImage on_magenta = Decode(StripIcon(strip, index, kMagenta));
    ASSERT_FALSE(on_white.isNull() || on_magenta.isNull()) << index;
    const int left = index % 4 * kCellW;
    const int top = index / 4 * kCellH;
    int transparent = 0;
    for (int y = 0; y < kCellH; ++y) {
      for (int x = 0; x < kCellW; ++x) {
        const Pixel sheet = SheetPixel(strip, left + x, top + y);
        SCOPED_TRACE(testing::Message() << "icon " << index << " at " << x << "," << y);
        if (SheetTransparent(strip, left + x, top + y)) {
          ++transparent;
          EXPECT_EQ(sheet, (Pixel{255, 255, 255}));
          EXPECT_EQ(At(on_white, x, y), (Pixel{255, 255, 255}));
          ASSERT_EQ(At(on_magenta, x, y), (Pixel{255, 0, 255}));
        } else {
          ASSERT_EQ(At(on_white, x, y), sheet);
          ASSERT_EQ(At(on_magenta, x, y), sheet);
        }
      }
    }
    EXPECT_GT(transparent, 0) << index;
  }
  // The sun stands free in its cell: its corners are background, its centre is not.
  const QImage sun = Decode(StripIcon(strip, 0, kMagenta));
  EXPECT_EQ(At(sun, 0, 0), (Pixel{255, 0, 255}));
  EXPECT_EQ(At(sun, 34, 31), (Pixel{255, 0, 255}));
  EXPECT_NE(At(sun, 17, 16), (Pixel{255, 0, 255}));
}

TEST(IconStrip, ResultIsABottomUpRgbBitmapWithConsistentHeaders) {
  const Bytes bmp = StripIcon(IconStrip(), 0);
  ASSERT_EQ(bmp.size(), kIconBmpSize);
  const auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 |
                                      bmp[at + 3] << 24);
  };
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(u32(2), kIconBmpSize);
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(14), 40u);
  EXPECT_EQ(u32(18), 35u);
  EXPECT_EQ(u32(22), 32u);  // positive height: the first row stored is the bottom one
  EXPECT_EQ(bmp[28], 32);
  EXPECT_EQ(u32(30), 0u);
  EXPECT_EQ(u32(34), kIconBmpSize - 54);
}

void PutU16(Bytes& data, std::size_t at, std::uint16_t v) {
  data[at] = static_cast<std::uint8_t>(v);
  data[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(Bytes& data, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    data[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
}

TEST(IconStrip, DamagedStreamsGiveNothing) {
  struct Case {
    std::string name;
    std::function<void(Bytes&)> damage;
  };
  const std::vector<Case> cases = {
      {"group magic", [](Bytes& d) { d[3] = 'X'; }},
      {"list magic", [](Bytes& d) { d[kListAt + 1] = 'X'; }},
      {"list version", [](Bytes& d) { PutU16(d, kListAt + 2, 0x0102); }},
      {"count above room", [](Bytes& d) { PutU16(d, kListAt + 4, 57); }},
      {"room needing more rows than the sheet", [](Bytes& d) { PutU16(d, kListAt + 6, 60); }},
      {"zero icon width", [](Bytes& d) { PutU16(d, kListAt + 10, 0); }},
      {"icon width not a quarter of the sheet", [](Bytes& d) { PutU16(d, kListAt + 10, 36); }},
      {"icon height not a row of the sheet", [](Bytes& d) { PutU16(d, kListAt + 12, 33); }},
      {"list without mask", [](Bytes& d) { PutU16(d, kListAt + 18, 0x0020); }},
      {"list of 8-bit colour", [](Bytes& d) { PutU16(d, kListAt + 18, 0x0009); }},
      {"colour magic", [](Bytes& d) { d[kColourAt] = 'X'; }},
      {"colour pixel offset", [](Bytes& d) { PutU32(d, kColourAt + 10, 0xFFFFFFF0); }},
      {"colour header size", [](Bytes& d) { PutU32(d, kColourAt + 14, 41); }},
      {"colour width", [](Bytes& d) { PutU32(d, kColourAt + 18, 139); }},
      {"colour height", [](Bytes& d) { PutU32(d, kColourAt + 22, 449); }},
      {"colour depth", [](Bytes& d) { PutU16(d, kColourAt + 28, 24); }},
      {"colour compression", [](Bytes& d) { PutU32(d, kColourAt + 30, 3); }},
      {"mask magic", [](Bytes& d) { d[kMaskAt + 1] = 'X'; }},
      {"mask header size", [](Bytes& d) { PutU32(d, kMaskAt + 14, 0xFFFFFFFF); }},
      {"mask width", [](Bytes& d) { PutU32(d, kMaskAt + 18, 141); }},
      {"mask depth", [](Bytes& d) { PutU16(d, kMaskAt + 28, 4); }},
      {"mask palette size", [](Bytes& d) { PutU32(d, kMaskAt + 46, 200); }},
  };
  const std::span<const std::uint8_t> strip = IconStrip();
  for (const Case& c : cases) {
    Bytes data(strip.begin(), strip.end());
    c.damage(data);
    EXPECT_TRUE(StripIcon(data, 0).empty()) << c.name;
  }
}

TEST(IconStrip, EveryTruncationGivesNothing) {
  const std::span<const std::uint8_t> strip = IconStrip();
  for (std::size_t n = 0; n < strip.size(); ++n) {
    ASSERT_TRUE(StripIcon(strip.first(n), 0).empty()) << n;
  }
}

// Random damage to the headers must never read outside the buffer (the sanitizer build checks
// that); whatever still parses gives a whole bitmap whose size field is its size.
TEST(IconStrip, RandomHeaderDamageIsSafe) {
  const std::span<const std::uint8_t> strip = IconStrip();
  std::mt19937 random(20240611);
  for (int round = 0; round < 2000; ++round) {
    Bytes data(strip.begin(), strip.end());
    for (int flips = 0; flips < 3; ++flips) {
      const std::size_t at = random() % 2 == 0 ? random() % kColourPixelsAt
                                               : kMaskAt + random() % (kMaskPixelsAt - kMaskAt);
      data[at] = static_cast<std::uint8_t>(random());
    }
    const Bytes bmp = StripIcon(data, static_cast<int>(random() % 60) - 3);
    if (!bmp.empty()) {
      ASSERT_GE(bmp.size(), 54u);
      EXPECT_EQ(bmp[2] | bmp[3] << 8 | bmp[4] << 16 | bmp[5] << 24, static_cast<int>(bmp.size()));
      EXPECT_FALSE(Decode(bmp).isNull());
    }
  }
}

}  // namespace
}  // namespace qc
