#include "client_scrape.h"

#include <boost/regex.hpp>

#include "portal/city_table.h"
#include "portal/gbk.h"
#include "support/gbk_literal.h"

namespace qc::portal::test {
namespace {

constexpr std::string_view kTitlePattern = "<h3.*?title=(.*?)>";
constexpr std::string_view kNearbyPattern =
    "city=(.*?)&dpc=1.*?<span.*?>(.*?)</span>.*?>(.*?)<.*?title=(.*?)>.*?title=(.*?)>";
constexpr std::string_view kRegionPattern = "右侧主内容.*?<h3>(.*?)<span.*?>(.*?)</span>.*?>(.*?)<";
constexpr std::string_view kTodayPattern =
    "今天白天.*?180_180/(.*?)png.*?<li>.*?>(.*?)℃.*?体感</span>.*?>(.*?)℃.*?<li>(.*?)</"
    "li>.*?<li>(.*?)</li>.*?今天夜间.*?180_180/(.*?)png.*?<li><.*?>(.*?)℃.*?<li>(.*?)</"
    "li>.*?<li>(.*?)</li>";
constexpr std::string_view kCellPattern = "<td>(.*?)</td>";
constexpr std::string_view kPairPattern = "<td>(.*?)</td>.*?<td>(.*?)</td>";
constexpr std::string_view kDayPattern =
    "<h4>(.*?)</h4>.*?<h5>(.*?)</h5>.*?url(.*?)png.*?<li>(.*?)</li>.*?<li.*?>(.*?)</li>.*?<li>(.*?)"
    "</li>.*?<li>(.*?)</li>.*?<h5>(.*?)</h5>.*?<li>(.*?)</li>.*?<li.*?>(.*?)</li>.*?<li>(.*?)</"
    "li>.*?<li>(.*?)</li>";

// Bytes start..start+n-1 (1-based); empty when the range starts outside the text or n <= 0.
std::string Mid(const std::string& text, int start, int n) {
  if (start < 1 || start > static_cast<int>(text.size()) || n <= 0)
    return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
}

Groups ToGroups(const boost::smatch& match) {
  Groups groups;
  for (std::size_t k = 0; k < match.size(); ++k)
    groups.push_back(match[k].matched ? match[k].str() : std::string());
  return groups;
}

Groups SearchFirst(std::string_view pattern, const std::string& text) {
  const boost::regex re(Gbk(pattern));
  boost::smatch match;
  if (text.empty() || !boost::regex_search(text.cbegin(), text.cend(), match, re))
    return {};
  return ToGroups(match);
}

// Successive matches, each search treating the end of the previous match as the start of text.
std::vector<Groups> SearchAll(std::string_view pattern, const std::string& text) {
  const boost::regex re(Gbk(pattern));
  std::vector<Groups> all;
  auto from = text.cbegin();
  boost::smatch match;
  while (from != text.cend() && boost::regex_search(from, text.cend(), match, re)) {
    all.push_back(ToGroups(match));
    if (match[0].length() == 0)
      break;
    from = match[0].second;
  }
  return all;
}

std::string RemoveSpaces(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    unsigned char byte = static_cast<unsigned char>(text[i]);
    std::size_t width = byte >= 0x80 ? 2 : 1;
    std::string_view character = std::string_view(text).substr(i, width);
    if (character != " " && character != "\xA1\xA1")
      out += character;
    i += width;
  }
  return out;
}

}  // namespace

int FindText(std::string_view text, std::string_view sought, int start) {
  std::size_t at = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
  while (at + sought.size() <= text.size()) {
    if (text.substr(at, sought.size()) == sought)
      return static_cast<int>(at) + 1;
    at += static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1;
  }
  return -1;
}

ScrapedPage Scrape(const std::string& bytes) {
  ScrapedPage scraped;
  const std::string page = bytes.substr(0, bytes.find('\0'));
  scraped.accepted = page.size() > 30000;
  if (!scraped.accepted)
    return scraped;
  Groups title = SearchFirst(kTitlePattern, Mid(page, 18000, 1000));
  if (!title.empty())
    scraped.title = title[1];

  const int p1 = FindText(page, Gbk("载入中"));
  const int p2 = FindText(page, Gbk("机场天气滚动"));
  scraped.content = p1 < 0 || p2 < 0 ? std::string() : Mid(page, p1, p2 - p1);
  const std::string& content = scraped.content;

  const int q = FindText(content, Gbk("周边城市"));
  scraped.nearby = SearchAll(kNearbyPattern, q < 1 ? std::string() : content.substr(0, q));
  scraped.region = SearchFirst(kRegionPattern, content);
  scraped.today = SearchFirst(kTodayPattern, content);

  const int s = FindText(content, Gbk("日出日落时间")) - 17;
  const int e = FindText(content, "</table>", s);
  for (const Groups& cell : SearchAll(kCellPattern, s < 1 ? std::string() : Mid(content, s, e - s)))
    scraped.sunCells.push_back(RemoveSpaces(cell[1]));

  const int z = FindText(content, Gbk("<!-- 生活指数 begin -->"));
  if (z > 0)
    scraped.livingIndex =
        SearchAll(kPairPattern, Mid(content, z, FindText(content, "</table>", z) - z));

  const int fs = FindText(content, Gbk("未来"));
  const int fe = fs < 0 ? -1 : FindText(content, Gbk("订阅天气短信"), fs);
  if (fs > 0 && fe > fs)
    scraped.days = SearchAll(kDayPattern, Mid(content, fs, fe - fs));
  return scraped;
}

std::string RecordedName(const std::string& title) {
  const std::string unquoted = title.size() > 2 ? title.substr(1, title.size() - 2) : "";
  const int p = FindText(unquoted, "(");
  return p < 1 ? std::string() : unquoted.substr(0, static_cast<std::size_t>(p - 1));
}

std::vector<std::string> IconRequestsFor(const ScrapedPage& page) {
  auto substitute = [](std::string name) { return name == "zhenxue" ? "xiaoxue" : name; };
  auto withoutPng = [](const std::string& group) {
    // A today group ends with the dot; the client appends "png" and asks for NAME.png.
    return group.empty() ? group : group.substr(0, group.size() - 1);
  };
  std::vector<std::string> names;
  if (!page.today.empty()) {
    names.push_back(withoutPng(page.today[1]));
    names.push_back(withoutPng(page.today[6]));
  }
  for (const Groups& day : page.days) {
    const std::string& address = day[3];
    const std::size_t slash = address.rfind('/');
    names.push_back(slash == std::string::npos
                        ? std::string()
                        : substitute(address.substr(slash + 1, address.size() - slash - 2)));
    names.push_back(substitute(std::string(ConditionIconName(Utf8(day[9])))) + "_1");
  }
  return names;
}

std::string Gbk(std::string_view utf8) {
  return ToGbk(utf8);
}

std::string Utf8(std::string_view gbk) {
  return qc::test::Utf8(std::string(gbk));
}

std::vector<std::string> Utf8(const Groups& groups) {
  std::vector<std::string> out;
  for (const std::string& group : groups)
    out.push_back(Utf8(group));
  return out;
}

}  // namespace qc::portal::test
