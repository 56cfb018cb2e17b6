#include <chrono>

#include <gtest/gtest.h>

#include "drawing/pcx_decoder.h"
#include "picture_fixtures.h"

namespace qc {
namespace {

using test::MakePcx;

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr QRgb kYellow = 0xFFFFFF00, kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

std::vector<QRgb> Decoded(const Bytes& pcx) {
  std::optional<PcxImage> image = DecodePcx(pcx);
  if (!image)
    return {};
  return std::vector<QRgb>(image->pixels.begin(), image->pixels.end());
}

TEST(DecodePcx, DecodesEachSupportedLayout) {
  std::vector<QRgb> palette256(256, 0);
  palette256[1] = kRed;
  palette256[2] = kGreen;
  palette256[3] = kBlue;
  palette256[0xC5] = kYellow;
  struct Row {
    const char* rule;
    Bytes pcx;
    std::vector<QRgb> pixels;
  };
  const Row rows[] = {
      {"8 bits: a byte of C0 or above is a run, and runs cross lines",
       MakePcx({.bits = 8, .width = 3, .height = 2, .bytesPerLine = 4},
               {0xC1, 0xC5, 0x02, 0x03, 0xC5, 0x02}, {}, palette256),
       {kYellow, kGreen, kBlue, kGreen, kGreen, kGreen}},
      {"8 bits without the closing palette: grey levels",
       MakePcx({.bits = 8, .width = 2, .bytesPerLine = 2}, {0x00, 0x80}),
       {kBlack, 0xFF808080}},
      {"24 bits in three planes",
       MakePcx({.bits = 8, .planes = 3, .width = 2, .bytesPerLine = 2},
               {0xC1, 0xFF, 0x00, 0x00, 0xC1, 0xFF, 0x00, 0x00}),
       {kRed, kGreen}},
      {"1 bit in four planes, version 3: the default 16 colours",
       MakePcx({.version = 3, .bits = 1, .planes = 4, .width = 5, .bytesPerLine = 1},
               {0x80, 0x40, 0x20, 0xC1, 0xF0}),
       {0xFF5555FF, 0xFF55FF55, 0xFFFF5555, 0xFF555555, kBlack}},
      {"4 bits: the header palette",
       MakePcx({.bits = 4, .width = 3, .bytesPerLine = 2}, {0x12, 0x30},
               {kBlack, kRed, kGreen, kBlue}),
       {kRed, kGreen, kBlue}},
      {"1 bit with an empty palette: black and white",
       MakePcx({.bits = 1, .width = 3, .bytesPerLine = 2}, {0xA0, 0x00}),
       {kWhite, kBlack, kWhite}},
      {"a stream that ends early leaves index 0",
       MakePcx({.bits = 8, .width = 2, .height = 2, .bytesPerLine = 2}, {0x03, 0x03}, {},
               palette256),
       {kBlue, kBlue, kBlack, kBlack}},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Decoded(row.pcx), row.pixels) << row.rule;
}

TEST(DecodePcx, RefusesHeadersItCannotHonourWithoutAllocating) {
  const auto start = std::chrono::steady_clock::now();
  auto withExtent = [](int xMax, int yMax) {
    Bytes pcx = MakePcx({.bits = 8, .bytesPerLine = 0xFFFF}, {0xC1, 0x01});
    pcx[8] = std::uint8_t(xMax), pcx[9] = std::uint8_t(xMax >> 8);
    pcx[10] = std::uint8_t(yMax), pcx[11] = std::uint8_t(yMax >> 8);
    return pcx;
  };
  struct Row {
    const char* rule;
    Bytes pcx;
  };
  const Row rows[] = {
      {"a header cut short",
       [] {
         Bytes p = MakePcx({}, {1});
         p.resize(100);
         return p;
       }()},
      {"not run-length encoded",
       [] {
         Bytes p = MakePcx({}, {1});
         p[2] = 0;
         return p;
       }()},
      {"a right edge left of the left edge",
       [] {
         Bytes p = MakePcx({}, {1});
         p[4] = 5;
         return p;
       }()},
      {"wider than any picture", withExtent(20000, 0)},
      {"a huge claim on a few bytes", withExtent(16000, 16000)},
      {"scan lines shorter than the width",
       MakePcx({.bits = 8, .width = 9, .bytesPerLine = 8}, {1})},
      {"2 bits in three planes", MakePcx({.bits = 2, .planes = 3}, {1})},
  };
  for (const Row& row : rows)
    EXPECT_FALSE(DecodePcx(row.pcx)) << row.rule;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

}  // namespace
}  // namespace qc
