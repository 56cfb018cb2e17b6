#pragma once
// The one template of the simulated portal's city page: it turns a CityRecord into GBK HTML that
// carries the byte positions, markers and attribute orders that clients scrape, around head,
// navigation and footer filler that looks like a real page. It does no networking; the server
// serves what it builds.
//
// What clients rely on, and where the template puts it:
//  - the page is longer than 30000 bytes;
//  - the title tag <h3 class="city-name" title="NAME(PROVINCE)"> starts at byte kTitleTagPosition
//    (1-based), inside bytes 18000..18999, and nothing before it in that window looks like "<h3";
//  - "载入中" comes after byte 19000 and starts the content; "机场天气滚动" ends it. In between:
//    the nearby rows before the first "周边城市", "右侧主内容" and the region line, the today block
//    ("今天白天" / "今天夜间"), the sunrise table whose text begins 17 bytes before
//    "日出日落时间", "<!-- 生活指数 begin -->" and its table, "未来" and the days, and
//    "订阅天气短信".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "portal/city_table.h"

namespace qc::portal {

inline constexpr std::size_t kTitleWindowStart = 18000;  // 1-based, as clients count
inline constexpr std::size_t kTitleWindowLength = 1000;
inline constexpr std::size_t kTitleTagPosition = 18301;   // 1-based position of "<h3"
inline constexpr std::size_t kContentStartAfter = 19000;  // "载入中" lies beyond this byte

enum class TitleStyle {
  CityAndProvince,  // title="岳阳(湖南)"
  NameOnly,         // title="岳阳", no "("
  Missing,          // the <h3> has no title attribute
};

struct PageVariant {
  TitleStyle title = TitleStyle::CityAndProvince;
  // When set, the footer is replaced by filler so that the page has exactly this many bytes. The
  // content ends well before 30000 bytes, so any length from 30000 up keeps it whole.
  std::optional<std::size_t> exactLength;
};

// GBK bytes of the city's page. Throws std::logic_error when the template no longer lands its
// markers where clients look for them.
std::string BuildCityPage(const CityRecord& city, const PageVariant& variant = {});

// The page of a city of the table by its GBK query name, built once; nullptr for other names.
const std::string* TableCityPage(std::string_view gbkName);

}  // namespace qc::portal
