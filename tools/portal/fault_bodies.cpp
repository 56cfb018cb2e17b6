#include "portal/fault_bodies.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>

#include "portal/city_page.h"
#include "portal/city_table.h"
#include "portal/gbk.h"

namespace qc::portal {
namespace {

struct NamedFault {
  std::string_view name;
  CityFault fault;
};
constexpr NamedFault kCityFaults[] = {
    {"fault-short", CityFault::Short},        {"fault-30000", CityFault::Exactly30000},
    {"fault-30001", CityFault::Exactly30001}, {"fault-empty", CityFault::Empty},
    {"fault-slow", CityFault::Slow},          {"fault-stall", CityFault::Stall},
    {"fault-reset", CityFault::Reset},        {"fault-huge", CityFault::Huge},
    {"fault-zero", CityFault::ZeroByte},      {"fault-redirect", CityFault::Redirect},
    {"fault-notitle", CityFault::NoTitle},    {"fault-noparen", CityFault::NoParen},
    {"fault-garbage", CityFault::Garbage},    {"fault-backtrack", CityFault::Backtrack},
};

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

// Pads an HTML text with a comment of spaces to exactly `length` bytes.
std::string PaddedHtml(std::string html, std::size_t length) {
  html += "<!--";
  html.append(length - html.size() - 3, ' ');
  html += "-->";
  return html;
}

CityRecord FaultCity(std::string_view name) {
  CityRecord city = *FindCity("长沙");
  city.name = std::string(name);
  city.province = "测试";
  return city;
}

std::string ValidFaultPage(CityFault fault, TitleStyle title = TitleStyle::CityAndProvince,
                           std::optional<std::size_t> exactLength = std::nullopt) {
  PageVariant variant;
  variant.title = title;
  variant.exactLength = exactLength;
  return BuildCityPage(FaultCity(CityFaultName(fault)), variant);
}

std::string ShortPage() {
  return PaddedHtml(ToGbk("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=gb2312\" /><title>系统繁忙</title></head><body><p>服务器繁忙，"
                          "请稍后再试。</p></body></html>\n"),
                    kShortPageBytes);
}

std::string GarbageBody() {
  std::string body(kGarbageBytes, '\0');
  std::uint32_t state = 20241213;
  for (char& byte : body) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(1 + (state >> 24) % 255);
  }
  return body;
}

void AppendRepeated(std::string& out, std::string_view fragment, std::size_t bytes) {
  for (std::size_t end = out.size() + bytes; out.size() < end;)
    out += fragment;
}

// Everything up to "载入中" is a valid page, so the title is found and the content is cut;
// inside it, each section's text is full of the openings of its pattern and none of the
// closings.
std::string BacktrackPage() {
  std::string page = ValidFaultPage(CityFault::Backtrack);
  page.resize(page.find(ToGbk("载入中")));
  constexpr std::size_t kMiB = 1024 * 1024;
  page += ToGbk("载入中");
  AppendRepeated(page, "<li><a href=\"/search.php?city=", kMiB);
  page += ToGbk("周边城市</ul><!-- 右侧主内容 --><h3>");
  AppendRepeated(page, "<span class=\"cur\" ", kMiB / 4);
  page += ToGbk("<h2>今天白天</h2>");
  AppendRepeated(page, "<img src=\"/images/yb3/180_180/<li>", kMiB / 2);
  page += ToGbk("<table>\n<caption>日出日落时间</caption>");
  AppendRepeated(page, "<tr><td>", kMiB);
  page += ToGbk("</table><!-- 生活指数 begin --><table>");
  AppendRepeated(page, "<tr><td>", kMiB / 4);
  page += ToGbk("</table><h2>未来天气预报</h2>");
  AppendRepeated(page, "<div><h4>", kMiB);
  page += ToGbk("<a>订阅天气短信</a><h2>机场天气滚动</h2></div></body></html>\n");
  return page;
}

std::string ZeroBytePage() {
  std::string page = ValidFaultPage(CityFault::ZeroByte);
  page[kZeroBytePosition - 1] = '\0';
  return page;
}

std::string BuildFaultBody(CityFault fault) {
  switch (fault) {
    case CityFault::Short:
      return ShortPage();
    case CityFault::Exactly30000:
      return ValidFaultPage(fault, TitleStyle::CityAndProvince, 30000);
    case CityFault::Exactly30001:
      return ValidFaultPage(fault, TitleStyle::CityAndProvince, 30001);
    case CityFault::Empty:
    case CityFault::Redirect:
      return {};
    case CityFault::Slow:
    case CityFault::Stall:
    case CityFault::Reset:
    case CityFault::Huge:
      return ValidFaultPage(fault);
    case CityFault::ZeroByte:
      return ZeroBytePage();
    case CityFault::NoTitle:
      return ValidFaultPage(fault, TitleStyle::Missing);
    case CityFault::NoParen:
      return ValidFaultPage(fault, TitleStyle::NameOnly);
    case CityFault::Garbage:
      return GarbageBody();
    case CityFault::Backtrack:
      return BacktrackPage();
  }
  return {};
}

std::string SignedIcon(std::size_t length) {
  std::string body(kPngSignature);
  for (std::size_t i = body.size(); i < length; ++i)
    body += static_cast<char>(i * 7);
  return body;
}

std::string ErrorPage() {
  return PaddedHtml(ToGbk("<html><head><title>500 Internal Server Error</title></head><body>"
                          "<h1>服务器内部错误</h1><p>图片服务暂时不可用，请稍后再试。</p>"
                          "</body></html>\n"),
                    2000);
}

constexpr std::string_view kHugeFillerLine =
    "<!-- page cache block, kept for the mirror servers ........ -->\n";

}  // namespace

std::optional<CityFault> CityFaultNamed(std::string_view name) {
  for (const NamedFault& entry : kCityFaults) {
    if (entry.name == name)
      return entry.fault;
  }
  return std::nullopt;
}

std::string_view CityFaultName(CityFault fault) {
  for (const NamedFault& entry : kCityFaults) {
    if (entry.fault == fault)
      return entry.name;
  }
  return {};
}

std::optional<IconFault> IconFaultNamed(std::string_view name) {
  if (name.size() > 2 && name.substr(name.size() - 2) == "_1")
    name.remove_suffix(2);
  if (name == "fault-1000")
    return IconFault::Exactly1000;
  if (name == "fault-1001")
    return IconFault::Exactly1001;
  if (name == "fault-errorpage")
    return IconFault::ErrorPage;
  return std::nullopt;
}

const std::string& CityFaultBody(CityFault fault) {
  // Built on first use: the backtracking page alone is megabytes, and most runs never ask.
  static std::mutex mutex;
  static std::map<CityFault, std::string> bodies;
  std::lock_guard lock(mutex);
  auto found = bodies.find(fault);
  if (found == bodies.end())
    found = bodies.emplace(fault, BuildFaultBody(fault)).first;
  return found->second;
}

void HugeBodyChunk(std::size_t offset, std::size_t length, std::string& out) {
  const std::string& page = CityFaultBody(CityFault::Huge);
  if (offset + length > kHugeBodyBytes)
    length = offset < kHugeBodyBytes ? kHugeBodyBytes - offset : 0;
  while (length > 0) {
    std::size_t piece = 0;
    if (offset < page.size()) {
      piece = std::min(length, page.size() - offset);
      out.append(page, offset, piece);
    } else {
      std::size_t inLine = (offset - page.size()) % kHugeFillerLine.size();
      piece = std::min(length, kHugeFillerLine.size() - inLine);
      out.append(kHugeFillerLine.substr(inLine, piece));
    }
    offset += piece;
    length -= piece;
  }
}

std::string RedirectLocation() {
  std::string location = "/search.php?f=1&c=1&city=";
  for (unsigned char byte : ToGbk("北京")) {
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
    location += escaped;
  }
  return location + "&dpc=1";
}

const std::string& IconFaultBody(IconFault fault) {
  static const std::array<std::string, 3> bodies = {SignedIcon(1000), SignedIcon(1001),
                                                    ErrorPage()};
  return bodies[static_cast<std::size_t>(fault)];
}

const std::string& NotFoundBody() {
  static const std::string body = ToGbk(
      "<html><head><title>404 Not Found</title></head><body><h1>404 Not Found</h1>"
      "<p>您访问的页面不存在。</p></body></html>\n");
  return body;
}

}  // namespace qc::portal
