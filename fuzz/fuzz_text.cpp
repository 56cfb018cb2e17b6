// Fuzzes the GBK text operations and SplitText against plain reference versions written from
// their rules: every result that differs aborts, so a wrong answer is a finding, not only a
// crash. The references favour being obviously right over being fast: they list the places a
// character walk visits and then apply the rule to that list.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "primitives/pattern.h"
#include "primitives/text.h"
#include "primitives/text_array.h"

namespace {

using qc::Text;

bool IsLead(const Text& t, std::size_t i) {
  return static_cast<unsigned char>(t[i]) >= 0x80;
}

// The 0-based places where a character begins, walking from byte from: one byte below 0x80,
// two from a lead byte, and a lead byte that is the last byte ends the walk.
struct Walk {
  std::vector<std::size_t> places;
  bool loneLeadAtEnd = false;
};

Walk WalkFrom(const Text& t, std::size_t from) {
  Walk walk;
  std::size_t i = from;
  while (i < t.size()) {
    if (!IsLead(t, i)) {
      walk.places.push_back(i);
      i += 1;
    } else if (i + 1 < t.size()) {
      walk.places.push_back(i);
      i += 2;
    } else {
      walk.loneLeadAtEnd = true;
      break;
    }
  }
  return walk;
}

std::size_t WidthAt(const Text& t, std::size_t i) {
  return IsLead(t, i) ? 2 : 1;
}

bool IsBlankChar(const Text& t, std::size_t i) {
  if (t[i] == ' ')
    return true;
  return IsLead(t, i) && i + 1 < t.size() && static_cast<unsigned char>(t[i]) == 0xA1 &&
         static_cast<unsigned char>(t[i + 1]) == 0xA1;
}

Text RefLeft(const Text& t, int n) {
  if (n <= 0)
    return {};
  if (static_cast<std::int64_t>(n) >= static_cast<std::int64_t>(t.size()))
    return t;
  return Text(t.begin(), t.begin() + n);
}

Text RefRight(const Text& t, int n) {
  if (n <= 0)
    return {};
  if (static_cast<std::int64_t>(n) >= static_cast<std::int64_t>(t.size()))
    return t;
  return Text(t.end() - n, t.end());
}

Text RefMid(const Text& t, int start, int n) {
  const auto length = static_cast<std::int64_t>(t.size());
  if (start < 1 || start > length || n <= 0)
    return {};
  Text out;
  for (std::int64_t pos = start; pos <= length && pos <= std::int64_t{start} + n - 1; ++pos)
    out += t[static_cast<std::size_t>(pos - 1)];
  return out;
}

int RefCharCode(const Text& t, int position) {
  if (position < 1 || position > static_cast<std::int64_t>(t.size()))
    return 0;
  return static_cast<signed char>(t[static_cast<std::size_t>(position - 1)]);
}

bool MatchesAt(const Text& t, std::size_t at, const Text& sought) {
  if (t.size() - at < sought.size())
    return false;
  for (std::size_t k = 0; k < sought.size(); ++k)
    if (t[at + k] != sought[k])
      return false;
  return true;
}

int RefFind(const Text& t, const Text& sought, std::optional<int> start) {
  std::int64_t b = start ? std::int64_t{*start} - 1 : 0;
  if (b < 0)
    b = 0;
  if (b >= static_cast<std::int64_t>(t.size()))
    return -1;
  if (sought.empty())
    return 1;
  for (std::size_t place : WalkFrom(t, static_cast<std::size_t>(b)).places)
    if (MatchesAt(t, place, sought))
      return static_cast<int>(place + 1);
  return -1;
}

int RefFindReverse(const Text& t, const Text& sought) {
  if (t.empty())
    return -1;
  if (sought.empty())
    return 1;
  int found = -1;
  for (std::size_t place : WalkFrom(t, 0).places)
    if (MatchesAt(t, place, sought))
      found = static_cast<int>(place + 1);
  return found;
}

std::vector<Text> RefSplit(const Text& t, const Text& delimiter) {
  if (t.empty())
    return {};
  if (delimiter.empty())
    return {t};
  std::vector<Text> items;
  std::size_t s = 0;
  std::size_t i = 0;
  while (i < t.size() && t.size() - i >= delimiter.size()) {
    if (IsLead(t, i) && i + 1 == t.size())
      break;
    if (MatchesAt(t, i, delimiter)) {
      items.push_back(t.substr(s, i - s));
      i += delimiter.size();
      s = i;
    } else {
      i += WidthAt(t, i);
    }
  }
  if (s < t.size())
    items.push_back(t.substr(s));
  return items;
}

Text RefTrim(const Text& t) {
  std::size_t begin = 0;
  while (begin < t.size() && IsBlankChar(t, begin))
    begin += t[begin] == ' ' ? 1 : 2;
  const Walk walk = WalkFrom(t, begin);
  if (walk.loneLeadAtEnd)
    return t.substr(begin, t.size() - 1 - begin);
  std::size_t end = begin;
  for (std::size_t place : walk.places)
    if (!IsBlankChar(t, place))
      end = place + WidthAt(t, place);
  return t.substr(begin, end - begin);
}

Text RefRemoveSpaces(const Text& t) {
  Text out;
  for (std::size_t place : WalkFrom(t, 0).places)
    if (!IsBlankChar(t, place))
      out += t.substr(place, WidthAt(t, place));
  return out;
}

// nullopt when the number does not fit 32 bits, which the rules leave open.
std::optional<int> RefToInt(const Text& t) {
  Text normal;
  const Walk walk = WalkFrom(t, 0);
  for (std::size_t place : walk.places) {
    const auto lead = static_cast<unsigned char>(t[place]);
    if (lead < 0x80) {
      normal += t[place];
      continue;
    }
    const auto trail = static_cast<unsigned char>(t[place + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
      normal += static_cast<char>(trail - 0x80);
    else if (lead == 0xA1 && trail == 0xA1)
      normal += ' ';
    else
      normal += t.substr(place, 2);
  }
  if (walk.loneLeadAtEnd)
    normal += t.back();
  std::size_t i = 0;
  while (i < normal.size() && Text(" \t\n\v\f\r").find(normal[i]) != Text::npos)
    ++i;
  bool negative = false;
  if (i < normal.size() && (normal[i] == '+' || normal[i] == '-'))
    negative = normal[i++] == '-';
  std::int64_t value = 0;
  for (; i < normal.size() && normal[i] >= '0' && normal[i] <= '9'; ++i) {
    value = value * 10 + (normal[i] - '0');
    if (value > (std::int64_t{1} << 32))
      return std::nullopt;
  }
  value = negative ? -value : value;
  if (value < INT32_MIN || value > INT32_MAX)
    return std::nullopt;
  return static_cast<int>(value);
}

Text Printable(const Text& t) {
  Text out;
  char hex[8];
  for (unsigned char c : t) {
    std::snprintf(hex, sizeof hex, "%02X ", c);
    out += hex;
  }
  return out;
}

[[noreturn]] void Mismatch(const char* operation, const Text& text, const Text& other, long long a,
                           long long b, const Text& got, const Text& expected) {
  std::fprintf(stderr,
               "%s mismatch\n text:  %s\n other: %s\n ints: %lld %lld\n got:      %s\n "
               "expected: %s\n",
               operation, Printable(text).c_str(), Printable(other).c_str(), a, b,
               Printable(got).c_str(), Printable(expected).c_str());
  std::abort();
}

void Check(bool ok, const char* operation, const Text& text, const Text& other, long long a,
           long long b, const Text& got, const Text& expected) {
  if (!ok)
    Mismatch(operation, text, other, a, b, got, expected);
}

// Texts from a few GBK-shaped pieces find the interesting walks (lone lead bytes, trail bytes
// that look like ASCII, full-width blanks and digits) far sooner than raw bytes do.
Text ConsumeText(FuzzedDataProvider& in) {
  if (in.ConsumeBool())
    return in.ConsumeRandomLengthString(64);
  static const char* const kPieces[] = {
      " ",        ",",    "a",    "K",    "(",        "1",        "-",        "\xA1\xA1", "\xA1",
      "\x81\x4B", "\x81", "\xA3", "\xB1", "\xA3\xB1", "\xA3\xAD", "\xC7\xE7", "\t",
  };
  Text out;
  const std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, 24);
  for (std::size_t k = 0; k < count && in.remaining_bytes() > 0; ++k)
    out += kPieces[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kPieces) - 1)];
  return out;
}

// Bytes that are no regular-expression syntax, so a text of them is a literal pattern.
Text LiteralOf(const Text& text) {
  Text out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || byte == ',' ||
        byte == ' ' || byte == '<' || byte == '>' || byte == '=' || byte >= 0x80)
      out += c;
  }
  return out;
}

// The engine is byte-wise: a literal pattern is found where a plain byte search finds it, also
// inside a two-byte character; and every match of a search of all lies after the one before.
void CheckPatterns(const Text& text, const Text& other, int start) {
  const Text literal = LiteralOf(other);
  qc::Pattern pattern;
  if (!qc::CompilePattern(pattern, literal))
    Mismatch("CompilePattern of a literal", literal, other, 0, 0, {}, {});
  const qc::MatchResult found = qc::SearchPattern(pattern, text, start);
  std::size_t expected = Text::npos;
  if (start >= 1 && static_cast<std::size_t>(start) <= text.size())
    expected = text.find(literal, static_cast<std::size_t>(start) - 1);
  const long long gotOffset = found.Found() ? found.entries[0].offset : -1;
  const long long expectedOffset = expected == Text::npos ? -1 : static_cast<long long>(expected);
  Check(gotOffset == expectedOffset, "SearchPattern of a literal", text, literal, gotOffset,
        expectedOffset, {}, {});
  if (found.Found())
    Check(qc::GroupText(found, text, 0) == (literal.empty() ? Text() : literal),
          "GroupText of a literal", text, literal, found.entries[0].offset, 0,
          qc::GroupText(found, text, 0), literal);

  static const qc::Pattern cells = qc::CompiledPattern("<(.*?)>(a)?|(\\x81.)");
  long long end = 0;
  for (const qc::MatchResult& match : qc::SearchAllPatterns(cells, text)) {
    const qc::MatchEntry& whole = match.entries[0];
    Check(whole.matched && whole.offset >= end && whole.length > 0 &&
              whole.offset + static_cast<long long>(whole.length) <=
                  static_cast<long long>(text.size()),
          "SearchAllPatterns order", text, other, whole.offset, end, {}, {});
    for (std::size_t k = 1; k < match.entries.size(); ++k) {
      const qc::MatchEntry& group = match.entries[k];
      const Text expectedGroup = group.matched ? text.substr(static_cast<std::size_t>(group.offset),
                                                             static_cast<std::size_t>(group.length))
                                               : Text();
      Check(!group.matched || (group.offset >= whole.offset &&
                               group.offset + group.length <= whole.offset + whole.length),
            "group outside its match", text, other, group.offset, whole.offset, {}, {});
      Check(qc::GroupText(match, text, static_cast<int>(k)) == expectedGroup, "GroupText", text,
            other, static_cast<long long>(k), group.offset,
            qc::GroupText(match, text, static_cast<int>(k)), expectedGroup);
    }
    end = whole.offset + whole.length;
  }
}

// Positions and counts near the text's edges, with the extremes now and then.
int ConsumePosition(FuzzedDataProvider& in, const Text& text) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.ConsumeIntegral<int>();
    case 1:
      return in.ConsumeBool() ? INT32_MIN : INT32_MAX;
    default:
      return in.ConsumeIntegralInRange<int>(-2, static_cast<int>(text.size()) + 2);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  while (in.remaining_bytes() > 0) {
    const Text text = ConsumeText(in);
    const Text other = ConsumeText(in);
    const int a = ConsumePosition(in, text);
    const int b = ConsumePosition(in, text);
    switch (in.ConsumeIntegralInRange(0, 12)) {
      case 0:
        Check(qc::TextLeft(text, a) == RefLeft(text, a), "TextLeft", text, other, a, 0,
              qc::TextLeft(text, a), RefLeft(text, a));
        break;
      case 1:
        Check(qc::TextRight(text, a) == RefRight(text, a), "TextRight", text, other, a, 0,
              qc::TextRight(text, a), RefRight(text, a));
        break;
      case 2:
        Check(qc::TextMid(text, a, b) == RefMid(text, a, b), "TextMid", text, other, a, b,
              qc::TextMid(text, a, b), RefMid(text, a, b));
        break;
      case 3: {
        const int got = qc::CharCode(text, a);
        const int expected = RefCharCode(text, a);
        Check(got == expected, "CharCode", text, other, got, expected, {}, {});
        break;
      }
      case 4: {
        const std::optional<int> start = in.ConsumeBool() ? std::optional<int>(a) : std::nullopt;
        const int got = qc::FindText(text, other, start);
        const int expected = RefFind(text, other, start);
        Check(got == expected, "FindText", text, other, got, expected, {}, {});
        break;
      }
      case 5: {
        const int got = qc::FindTextReverse(text, other);
        const int expected = RefFindReverse(text, other);
        Check(got == expected, "FindTextReverse", text, other, got, expected, {}, {});
        break;
      }
      case 6: {
        const Text delimiter = in.ConsumeBool() ? Text(",") : other;
        const qc::TextArray got = qc::SplitText(text, delimiter);
        const std::vector<Text> expected = RefSplit(text, delimiter);
        Check(got.Size() == static_cast<int>(expected.size()), "SplitText size", text, delimiter,
              got.Size(), static_cast<long long>(expected.size()), {}, {});
        for (int k = 1; k <= got.Size(); ++k)
          Check(got.Get(k) == expected[k - 1], "SplitText element", text, delimiter, k, 0,
                got.Get(k), expected[k - 1]);
        // Outside the array reads are empty, never out of bounds.
        Check(got.Get(0).empty() && got.Get(got.Size() + 1).empty(), "SplitText outside", text,
              delimiter, 0, 0, {}, {});
        break;
      }
      case 7:
        Check(qc::TrimSpaces(text) == RefTrim(text), "TrimSpaces", text, other, 0, 0,
              qc::TrimSpaces(text), RefTrim(text));
        break;
      case 8:
        Check(qc::RemoveSpaces(text) == RefRemoveSpaces(text), "RemoveSpaces", text, other, 0, 0,
              qc::RemoveSpaces(text), RefRemoveSpaces(text));
        break;
      case 9: {
        const std::optional<int> expected = RefToInt(text);
        const int got = qc::TextToInt(text);
        Check(!expected || got == *expected, "TextToInt", text, other, got, expected.value_or(0),
              {}, {});
        // Decimal texts read back as the number they were written from.
        Check(qc::TextToInt(qc::IntToText(a)) == a, "IntToText", qc::IntToText(a), other, a, 0, {},
              {});
        break;
      }
      case 10: {
        const Text joined = qc::ConcatText({text, other, text});
        Check(joined == text + other + text, "ConcatText", text, other, 0, 0, joined,
              text + other + text);
        break;
      }
      case 11:
        CheckPatterns(text, other, a);
        break;
      default: {
        const qc::Bytes bytes = qc::TextToBytes(text);
        Check(qc::BytesLength(bytes) == qc::TextLength(text) &&
                  Text(bytes.begin(), bytes.end()) == text,
              "TextToBytes", text, other, 0, 0, {}, {});
        const Text back = qc::BytesToText(bytes);
        const Text expected = text.substr(0, text.find('\0'));
        Check(back == expected, "BytesToText", text, other, 0, 0, back, expected);
        break;
      }
    }
  }
  return 0;
}
