#include "primitives/pinyin.h"

#include <array>
#include <string_view>

namespace qc {
namespace {

constexpr unsigned char kFirstLead = 0xB0;
constexpr unsigned char kLastLead = 0xF7;
constexpr unsigned char kFirstTrail = 0xA1;
constexpr unsigned char kLastTrail = 0xFE;
constexpr int kColumns = kLastTrail - kFirstTrail + 1;

constexpr std::uint16_t kPolyphonic = 0x8000;
constexpr std::uint16_t kTripleIndex = 0x7FFF;
constexpr int kReadingsPerTriple = 3;

// Syllable parts by code: initials 1..23, finals 24..55. The generator in tools/pinyin
// encodes with the same list; code 0 and codes past the end spell nothing.
constexpr std::array<std::string_view, 56> kParts = {
    "",    "zh",  "ch",  "sh", "b",  "p",  "m",  "f",  "d",    "t",    "n",    "l",   "g",   "k",
    "h",   "j",   "q",   "x",  "r",  "z",  "c",  "s",  "y",    "w",    "ang",  "eng", "an",  "ai",
    "ao",  "ou",  "er",  "en", "ei", "a",  "o",  "e",  "uang", "iang", "iong", "ing", "ong", "uai",
    "uan", "iao", "ian", "ui", "iu", "ie", "ue", "in", "un",   "ia",   "ua",   "uo",  "i",   "u",
};

std::string_view Part(unsigned code) {
  return code < kParts.size() ? kParts[code] : std::string_view{};
}

}  // namespace

Text PinyinOf(const Text& text, int reading) {
  if (text.size() < 2)
    return {};
  const auto lead = static_cast<unsigned char>(text[0]);
  const auto trail = static_cast<unsigned char>(text[1]);
  if (lead < kFirstLead || lead > kLastLead || trail < kFirstTrail || trail > kLastTrail)
    return {};
  // Reading 0 and below mean the first reading. Compared before subtracting, so that no
  // reading, however far out, overflows.
  const int r = reading > 1 ? reading - 1 : 0;

  const std::span<const std::uint16_t> grid = PinyinGrid();
  std::uint16_t word = grid[(lead - kFirstLead) * kColumns + (trail - kFirstTrail)];
  if (word == 0)
    return {};
  if (word & kPolyphonic) {
    const std::span<const std::uint16_t> triples = PinyinTriples();
    const std::size_t slot = static_cast<std::size_t>(word & kTripleIndex) * kReadingsPerTriple;
    if (r >= kReadingsPerTriple || slot >= triples.size())
      return {};
    word = triples[slot + r];
  } else if (r > 0) {
    return {};
  }

  // A word of 0 (no such reading) spells nothing through the empty code 0.
  const std::string_view first = Part(word & 0xFFu);
  const std::string_view second = Part(word >> 8);
  Text pinyin;
  pinyin.reserve(first.size() + second.size());
  pinyin.append(first).append(second);
  return pinyin;
}

}  // namespace qc
