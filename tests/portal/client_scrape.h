#pragma once
// Cuts a page the way the program's query does (the 30000-byte rule, the title window, the
// content markers, the section texts) and runs its patterns with Boost.Regex, Perl syntax,
// default flags, byte-wise over GBK. The simulator's tests use it to check that its pages give
// clients the values they are meant to; it is not the program's code.

#include <string>
#include <string_view>
#include <vector>

namespace qc::portal::test {

// groups[k] is group k of one match; groups[0] the whole match.
using Groups = std::vector<std::string>;

struct ScrapedPage {
  bool accepted = false;  // the text before the first zero byte is longer than 30000 bytes
  std::string title;      // group 1 of the title pattern, quotation marks included
  std::string content;    // from "载入中" up to "机场天气滚动"
  std::vector<Groups> nearby;
  Groups region;  // empty when the pattern does not match
  Groups today;
  std::vector<std::string> sunCells;
  std::vector<Groups> livingIndex;
  std::vector<Groups> days;
};

ScrapedPage Scrape(const std::string& page);

// The name a client records: the title without its quotes, up to its first "(".
std::string RecordedName(const std::string& title);
// The icon names a client asks the portal for, as the file names without ".png", in the order it
// asks: today's day and night, then each day's daytime and night-time icon. The night-time name
// is the pinyin of the condition, and zhenxue becomes xiaoxue as the client substitutes it.
std::vector<std::string> IconRequestsFor(const ScrapedPage& page);

// Position of `sought` in `text` stepping over two-byte characters, 1-based, or -1.
int FindText(std::string_view text, std::string_view sought, int start = 1);

std::string Gbk(std::string_view utf8);
std::string Utf8(std::string_view gbk);
std::vector<std::string> Utf8(const Groups& groups);

}  // namespace qc::portal::test
