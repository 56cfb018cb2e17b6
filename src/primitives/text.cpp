#include "primitives/text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace qc {
namespace {

constexpr unsigned char kFullWidthLead = 0xA3;
constexpr unsigned char kIdeographicSpaceByte = 0xA1;

unsigned char ByteAt(const Text& text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

int ClampToInt(std::size_t n) {
  return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

// The ASCII space, or the full-width space A1 A1 starting at i. Returns its width, 0 if none.
std::size_t BlankAt(const Text& text, std::size_t i) {
  if (text[i] == ' ')
    return 1;
  if (ByteAt(text, i) == kIdeographicSpaceByte && i + 1 < text.size() &&
      ByteAt(text, i + 1) == kIdeographicSpaceByte)
    return 2;
  return 0;
}

bool IsAsciiWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The configuration file may hold counts typed with an IME, so full-width digits and signs
// (A3 B0..A3 B9, A3 AB, A3 AD) and the full-width space count as their ASCII forms.
Text NormaliseFullWidth(const Text& text) {
  Text out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = ByteAt(text, i);
    if (lead < 0x80 || i + 1 == text.size()) {
      out += text[i];
      ++i;
      continue;
    }
    const unsigned char trail = ByteAt(text, i + 1);
    if (lead == kFullWidthLead && trail >= 0xA1 && trail <= 0xFE) {
      out += static_cast<char>(trail - 0x80);
    } else if (lead == kIdeographicSpaceByte && trail == kIdeographicSpaceByte) {
      out += ' ';
    } else {
      out.append(text, i, 2);
    }
    i += 2;
  }
  return out;
}

}  // namespace

std::size_t CharWidth(const Text& text, std::size_t index) {
  if (index >= text.size())
    return 0;
  if (ByteAt(text, index) < 0x80)
    return 1;
  return index + 1 < text.size() ? 2 : 0;
}

int TextLength(const Text& text) {
  return ClampToInt(text.size());
}

Text TextLeft(const Text& text, int n) {
  if (n <= 0)
    return {};
  return text.substr(0, static_cast<std::size_t>(n));
}

Text TextRight(const Text& text, int n) {
  if (n <= 0)
    return {};
  const auto count = std::min(static_cast<std::size_t>(n), text.size());
  return text.substr(text.size() - count);
}

Text TextMid(const Text& text, int start, int n) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0)
    return {};
  return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

int CharCode(const Text& text, int position) {
  if (position < 1 || static_cast<std::size_t>(position) > text.size())
    return 0;
  const int byte = ByteAt(text, static_cast<std::size_t>(position) - 1);
  return byte >= 0x80 ? byte - 0x100 : byte;
}

int FindText(const Text& text, const Text& sought, std::optional<int> start) {
  // 64-bit so that a start of INT_MIN does not overflow when it is made 0-based.
  const std::int64_t from = std::max<std::int64_t>(start ? std::int64_t{*start} - 1 : 0, 0);
  if (from >= static_cast<std::int64_t>(text.size()))
    return -1;
  // An empty sought is found at byte 1, whatever start was asked for.
  if (sought.empty())
    return 1;
  if (sought.size() > text.size())
    return -1;
  const std::size_t lastPlace = text.size() - sought.size();
  std::size_t width = 0;
  for (auto i = static_cast<std::size_t>(from); i <= lastPlace && (width = CharWidth(text, i)) != 0;
       i += width) {
    if (text.compare(i, sought.size(), sought) == 0)
      return ClampToInt(i + 1);
  }
  return -1;
}

int FindTextReverse(const Text& text, const Text& sought) {
  if (text.empty())
    return -1;
  if (sought.empty())
    return 1;
  if (sought.size() > text.size())
    return -1;
  // Scanning backwards could stop on a trail byte, so the walk goes forward from byte 1, as
  // FindText's does, and keeps the last place it matched.
  const std::size_t lastPlace = text.size() - sought.size();
  int found = -1;
  std::size_t width = 0;
  for (std::size_t i = 0; i <= lastPlace && (width = CharWidth(text, i)) != 0; i += width) {
    if (text.compare(i, sought.size(), sought) == 0)
      found = ClampToInt(i + 1);
  }
  return found;
}

Text TrimSpaces(const Text& text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t blank = BlankAt(text, begin);
    if (blank == 0)
      break;
    begin += blank;
  }
  std::size_t runStart = text.size();  // where the latest run of blanks began, if one is open
  std::size_t i = begin;
  std::size_t width = 0;
  for (; i < text.size() && (width = CharWidth(text, i)) != 0; i += width) {
    if (BlankAt(text, i) == 0)
      runStart = text.size();
    else if (runStart == text.size())
      runStart = i;
  }
  // A lone lead byte at the end is cut instead of the blanks, which then stay before it.
  const std::size_t end = i < text.size() ? i : runStart;
  return text.substr(begin, end - begin);
}

Text RemoveSpaces(const Text& text) {
  Text out;
  out.reserve(text.size());
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size() && (width = CharWidth(text, i)) != 0; i += width) {
    if (BlankAt(text, i) == 0)
      out.append(text, i, width);
  }
  return out;
}

Text ConcatText(std::initializer_list<Text> texts) {
  std::size_t total = 0;
  for (const Text& t : texts)
    total += t.size();
  Text out;
  out.reserve(total);
  for (const Text& t : texts)
    out += t;
  return out;
}

int TextToInt(const Text& text) {
  const Text normal = NormaliseFullWidth(text);
  std::size_t i = 0;
  while (i < normal.size() && IsAsciiWhiteSpace(normal[i]))
    ++i;
  bool negative = false;
  if (i < normal.size() && (normal[i] == '+' || normal[i] == '-')) {
    negative = normal[i] == '-';
    ++i;
  }
  // Saturates instead of overflowing; the configuration file only ever holds short counts.
  std::int64_t value = 0;
  for (; i < normal.size() && normal[i] >= '0' && normal[i] <= '9'; ++i) {
    value = value * 10 + (normal[i] - '0');
    if (value > std::int64_t{INT_MAX} + 1)
      value = std::int64_t{INT_MAX} + 1;
  }
  if (negative)
    value = -value;
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

Text IntToText(int value) {
  char buffer[16];
  const int n = std::snprintf(buffer, sizeof buffer, "%d", value);
  return Text(buffer, static_cast<std::size_t>(n));
}

Text RealToText(double value) {
  char buffer[32];
  const int n = std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return Text(buffer, static_cast<std::size_t>(std::min<int>(n, sizeof buffer - 1)));
}

Text BytesToText(const Bytes& bytes) {
  const auto zero = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return Text(bytes.begin(), zero);
}

Bytes TextToBytes(const Text& text) {
  return Bytes(text.begin(), text.end());
}

int BytesLength(const Bytes& bytes) {
  return ClampToInt(bytes.size());
}

}  // namespace qc
