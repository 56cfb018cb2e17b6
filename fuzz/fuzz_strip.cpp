// Fuzzes StripIcon on arbitrary image-list streams and on the embedded strip with bytes
// changed at fuzzed places. Whatever it returns must be empty or one whole BMP of the list's
// cell size (35 x 32 for the embedded strip): a 32-bit bottom-up bitmap whose header fields
// agree with its length.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "drawing/icon_strip.h"

namespace {

constexpr std::size_t kListAt = 8;  // the list header follows "MITL" and its word

std::uint32_t U32(const qc::Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

[[noreturn]] void Fail(const char* what, std::uint64_t got, std::uint64_t expected) {
  std::fprintf(stderr, "StripIcon result: %s: %llu, expected %llu\n", what,
               static_cast<unsigned long long>(got), static_cast<unsigned long long>(expected));
  std::abort();
}

void Expect(bool ok, const char* what, std::uint64_t got, std::uint64_t expected) {
  if (!ok)
    Fail(what, got, expected);
}

void CheckIcon(std::span<const std::uint8_t> strip, const qc::Bytes& bmp) {
  if (bmp.empty())
    return;
  // Anything returned came from a list header that was read, so the stream holds one.
  Expect(strip.size() >= kListAt + 28, "stream shorter than a list header", strip.size(),
         kListAt + 28);
  const std::uint32_t cx = U16(strip, kListAt + 10);
  const std::uint32_t cy = U16(strip, kListAt + 12);
  const std::uint64_t imageBytes = std::uint64_t{cx} * cy * 4;
  Expect(bmp.size() == 54 + imageBytes, "length", bmp.size(), 54 + imageBytes);
  Expect(bmp[0] == 'B' && bmp[1] == 'M', "magic", bmp[0], 'B');
  Expect(U32(bmp, 2) == bmp.size(), "file size field", U32(bmp, 2), bmp.size());
  Expect(U32(bmp, 10) == 54, "pixel offset", U32(bmp, 10), 54);
  Expect(U32(bmp, 14) == 40, "info header size", U32(bmp, 14), 40);
  Expect(U32(bmp, 18) == cx, "width", U32(bmp, 18), cx);
  Expect(U32(bmp, 22) == cy, "height", U32(bmp, 22), cy);
  Expect((bmp[26] | bmp[27] << 8) == 1, "planes", bmp[26], 1);
  Expect((bmp[28] | bmp[29] << 8) == 32, "depth", bmp[28], 32);
  Expect(U32(bmp, 30) == 0, "compression", U32(bmp, 30), 0);
  Expect(U32(bmp, 34) == imageBytes, "image size", U32(bmp, 34), imageBytes);
  // The result is a cell of the colour bitmap the stream holds, so never larger than it.
  Expect(bmp.size() <= strip.size() + 54, "larger than the stream", bmp.size(), strip.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool damageRealStrip = in.ConsumeBool();
  const int index =
      in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 60) : in.ConsumeIntegral<int>();
  const qc::Colour background = in.ConsumeIntegral<std::uint32_t>();
  if (!damageRealStrip) {
    const std::vector<std::uint8_t> strip = in.ConsumeRemainingBytes<std::uint8_t>();
    CheckIcon(strip, qc::StripIcon(strip, index, background));
    return 0;
  }
  const std::span<const std::uint8_t> real = qc::IconStrip();
  std::vector<std::uint8_t> strip(real.begin(), real.end());
  bool headerChanged = false;
  while (in.remaining_bytes() >= 3) {
    // Mostly the headers: the list's, and the two BMP headers before and after the colour
    // pixels; sometimes anywhere.
    std::size_t at = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(0, 200)
                                      : in.ConsumeIntegralInRange<std::size_t>(0, strip.size() - 1);
    at = std::min(at, strip.size() - 1);
    strip[at] = in.ConsumeIntegral<std::uint8_t>();
    headerChanged = headerChanged || (at >= kListAt + 10 && at < kListAt + 14);
  }
  if (in.ConsumeBool() && !strip.empty())
    strip.resize(in.ConsumeIntegralInRange<std::size_t>(0, strip.size()));
  const qc::Bytes bmp = qc::StripIcon(strip, index, background);
  CheckIcon(strip, bmp);
  if (!bmp.empty() && !headerChanged)
    Expect(U32(bmp, 18) == 35 && U32(bmp, 22) == 32, "embedded icon size", U32(bmp, 18), 35);
  return 0;
}
