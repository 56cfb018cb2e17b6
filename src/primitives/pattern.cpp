#include "primitives/pattern.h"

#include <boost/regex.hpp>

#include <cstdint>
#include <exception>

namespace qc {

struct Pattern::Expression {
  boost::regex regex;
};

namespace {

using TextIterator = Text::const_iterator;
using EngineMatch = boost::match_results<TextIterator>;

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
    result.entries[k].offset = static_cast<int>(group.first - textBegin);
    result.entries[k].length = static_cast<int>(group.length());
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

MatchResult SearchPattern(const Pattern& pattern, const Text& text, int start,
                          std::optional<int> length) {
  if (!pattern.compiled_)
    return {};
  const auto size = static_cast<std::int64_t>(text.size());
  if (start < 1 || start > size)
    return {};
  if (length && (*length < 0 || std::int64_t{start} + *length > size + 1))
    return {};
  const TextIterator first = text.begin() + (start - 1);
  const TextIterator last = length ? first + *length : text.end();
  EngineMatch match;
  if (!SearchRange(pattern.compiled_->regex, first, last, match))
    return {};
  return ToMatchResult(match, text.begin());
}

std::vector<MatchResult> SearchAllPatterns(const Pattern& pattern, const Text& text) {
  std::vector<MatchResult> results;
  if (!pattern.compiled_)
    return results;
  EngineMatch match;
  TextIterator from = text.begin();
  while (from != text.end() && SearchRange(pattern.compiled_->regex, from, text.end(), match)) {
    results.push_back(ToMatchResult(match, text.begin()));
    const TextIterator matchEnd = match[0].second;
    if (match[0].first != matchEnd) {
      from = matchEnd;
      continue;
    }
    // An empty match would be found again at the same place. At byte 1 the search ends there;
    // elsewhere it steps on one byte so that it cannot loop.
    if (matchEnd == text.begin() || matchEnd == text.end())
      break;
    from = matchEnd + 1;
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
