#include "primitives/pattern.h"

// The engine's state budget for one search. Boost gives random-access iterators a budget that
// grows with the square of the text and of the pattern, which lets a hostile page keep one
// search busy for minutes; for other iterators it uses this flat limit. The program's patterns
// need well under a thousand states on real pages, so a million only ever stops searches that
// were going to fail anyway, after a few milliseconds. Only this file instantiates the engine
// for ByteCursor, so the definition cannot clash with another.
#define BOOST_REGEX_MAX_STATE_COUNT 1000000

#include <boost/regex.hpp>

#include <cstdint>
#include <exception>
#include <iterator>

namespace qc {

struct Pattern::Expression {
  boost::regex regex;
};

namespace {

// A bidirectional cursor over the text's bytes, so that the engine takes the flat budget above.
class ByteCursor {
 public:
  using iterator_category = std::bidirectional_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  ByteCursor() = default;
  explicit ByteCursor(const char* at) : at_(at) {}
  reference operator*() const { return *at_; }
  pointer operator->() const { return at_; }
  ByteCursor& operator++() {
    ++at_;
    return *this;
  }
  ByteCursor operator++(int) {
    ByteCursor old = *this;
    ++at_;
    return old;
  }
  ByteCursor& operator--() {
    --at_;
    return *this;
  }
  ByteCursor operator--(int) {
    ByteCursor old = *this;
    --at_;
    return old;
  }
  bool operator==(const ByteCursor& other) const { return at_ == other.at_; }
  bool operator!=(const ByteCursor& other) const { return at_ != other.at_; }
  const char* get() const { return at_; }

 private:
  const char* at_ = nullptr;
};

using TextIterator = ByteCursor;
using EngineMatch = boost::match_results<TextIterator>;

TextIterator Begin(const Text& text) {
  return TextIterator(text.data());
}
TextIterator End(const Text& text) {
  return TextIterator(text.data() + text.size());
}

// Searches [first, last) with first as the beginning of the text for anchors and word
// boundaries: match_prev_avail stays unset, so no byte before first is ever looked at.
bool SearchRange(const boost::regex& regex, TextIterator first, TextIterator last,
                 EngineMatch& match) {
  try {
    return boost::regex_search(first, last, match, regex, boost::match_default);
  } catch (const std::exception&) {
    // The engine gives up on pathological searches by throwing (error_complexity when its
    // state budget runs out, error_stack when its backtracking memory does, bad_alloc). A
    // page is hostile input and the scrapers treat a give-up as no match, so nothing is
    // reported.
    return false;
  }
}

MatchResult ToMatchResult(const EngineMatch& match, TextIterator textBegin) {
  MatchResult result;
  result.entries.resize(match.size());
  for (std::size_t k = 0; k < match.size(); ++k) {
    const auto& group = match[static_cast<int>(k)];
    if (!group.matched)
      continue;
    result.entries[k].offset = static_cast<int>(group.first.get() - textBegin.get());
    result.entries[k].length = static_cast<int>(group.second.get() - group.first.get());
    result.entries[k].matched = true;
  }
  return result;
}

}  // namespace

Pattern::Pattern() = default;
Pattern::~Pattern() = default;
Pattern::Pattern(const Pattern&) = default;
Pattern& Pattern::operator=(const Pattern&) = default;

bool CompilePattern(Pattern& pattern, const Text& source) {
  try {
    auto expression = std::make_shared<const Pattern::Expression>(
        Pattern::Expression{boost::regex(source, boost::regex::perl)});
    pattern.compiled_ = std::move(expression);
    return true;
  } catch (const std::exception&) {
    // An invalid pattern (regex_error) leaves the old expression in place; so does running
    // out of memory while compiling one.
    return false;
  }
}

Pattern CompiledPattern(const Text& source) {
  Pattern pattern;
  CompilePattern(pattern, source);
  return pattern;
}

MatchResult SearchPattern(const Pattern& pattern, const Text& text, int start,
                          std::optional<int> length) {
  if (!pattern.compiled_)
    return {};
  const auto size = static_cast<std::int64_t>(text.size());
  if (start < 1 || start > size)
    return {};
  if (length && (*length < 0 || std::int64_t{start} + *length > size + 1))
    return {};
  const TextIterator first(text.data() + (start - 1));
  const TextIterator last = length ? TextIterator(first.get() + *length) : End(text);
  EngineMatch match;
  if (!SearchRange(pattern.compiled_->regex, first, last, match))
    return {};
  return ToMatchResult(match, Begin(text));
}

std::vector<MatchResult> SearchAllPatterns(const Pattern& pattern, const Text& text) {
  std::vector<MatchResult> results;
  if (!pattern.compiled_)
    return results;
  EngineMatch match;
  TextIterator from = Begin(text);
  while (from != End(text) && SearchRange(pattern.compiled_->regex, from, End(text), match)) {
    results.push_back(ToMatchResult(match, Begin(text)));
    const TextIterator matchEnd = match[0].second;
    if (match[0].first != matchEnd) {
      from = matchEnd;
      continue;
    }
    // An empty match would be found again at the same place. At byte 1 the search ends there;
    // elsewhere it steps on one byte so that it cannot loop.
    if (matchEnd == Begin(text) || matchEnd == End(text))
      break;
    from = TextIterator(matchEnd.get() + 1);
  }
  return results;
}

Text GroupText(const MatchResult& result, const Text& text, int group) {
  if (group < 0 || static_cast<std::size_t>(group) >= result.entries.size())
    return {};
  const MatchEntry& entry = result.entries[static_cast<std::size_t>(group)];
  if (!entry.matched || entry.length <= 0 || entry.offset < 0 || entry.offset >= TextLength(text))
    return {};
  // TextMid clips to the given text, so a result paired with another text cannot read past it.
  return TextMid(text, entry.offset + 1, entry.length);
}

}  // namespace qc
