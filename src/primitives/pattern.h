#pragma once
// Regular expressions over GBK texts: Perl syntax, case-sensitive, byte-wise (a two-byte
// character is two characters to the engine), searched with the default match options so "."
// also matches CR and LF. An engine that gives up on a search (complexity or memory limits)
// gives no match; no exception ever reaches the caller.

#include <memory>
#include <optional>
#include <vector>

#include "primitives/text.h"

namespace qc {

struct MatchEntry {
  int offset = 0;  // bytes from the start of the whole searched text, counting from 0
  int length = 0;
  bool matched = false;
};

// Entry 0 is the whole match, entry k capture group k. Empty: the search found nothing.
struct MatchResult {
  std::vector<MatchEntry> entries;
  bool Found() const { return !entries.empty(); }
};

class Pattern {
 public:
  Pattern();
  ~Pattern();
  Pattern(const Pattern&);
  Pattern& operator=(const Pattern&);

  bool Compiled() const { return compiled_ != nullptr; }

 private:
  friend bool CompilePattern(Pattern& pattern, const Text& source);
  friend MatchResult SearchPattern(const Pattern& pattern, const Text& text, int start,
                                   std::optional<int> length);
  friend std::vector<MatchResult> SearchAllPatterns(const Pattern& pattern, const Text& text);
  // Named apart from Compiled(), which would otherwise hide it inside the class.
  struct Expression;
  // Shared between copies; a compiled expression is never changed, only replaced.
  std::shared_ptr<const Expression> compiled_;
};

// False for an invalid pattern text; the Pattern then keeps what it held.
bool CompilePattern(Pattern& pattern, const Text& source);
// A Pattern compiled from source, for the patterns fixed in the program; a source that does not
// compile gives a Pattern that matches nothing.
Pattern CompiledPattern(const Text& source);
MatchResult SearchPattern(const Pattern& pattern, const Text& text, int start = 1,
                          std::optional<int> length = std::nullopt);
std::vector<MatchResult> SearchAllPatterns(const Pattern& pattern, const Text& text);
Text GroupText(const MatchResult& result, const Text& text, int group);

}  // namespace qc
