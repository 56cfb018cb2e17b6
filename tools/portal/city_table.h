#pragma once
// The simulated portal's cities and their December weather, in UTF-8. It is data only: the page
// template that turns a record into a GBK page lives in city_page.h.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qc::portal {

// The two halves of the "today" block. The conditions choose the big icons (their names come from
// ConditionIconName); temperatures are numbers without "℃".
struct TodayRecord {
  std::string dayCondition;
  std::string dayTemperature;
  std::string feltTemperature;
  std::string dayWind;  // first line under the felt temperature
  std::string dayLine;  // second line, a humidity
  std::string nightCondition;
  std::string nightTemperature;
  std::string nightWind;
  std::string nightLine;
};

// One coming day. Temperatures carry their "℃". The night-time condition is always one word of
// the icon vocabulary, because clients name the night icon after its pinyin. dayIcon is left
// empty when the daytime condition itself names the icon.
struct ForecastDay {
  std::string dayCondition;
  std::string dayTemperature;
  std::string dayWind;
  std::string dayForce;
  std::string nightCondition;
  std::string nightTemperature;
  std::string nightWind;
  std::string nightForce;
  std::string dayIcon = {};
};

struct CityRecord {
  std::string name;      // also the query name: its GBK bytes are the `city` value
  std::string province;  // shown after the name in the title, and in the region line
  // Neighbouring cities, each another city of the table, so a click on the row queries a page
  // that exists. A row shows that city's own today temperatures and conditions.
  std::vector<std::string> nearby;
  std::string updated;  // "07:30"
  TodayRecord today;
  std::string sunrise;         // "07:10"
  std::string sunset;          // "17:26"
  std::string sunSpace = " ";  // the blank inside the sunrise cells; some pages use "　"
  std::array<std::string, 4> livingIndex;  // 穿衣, 紫外线, 洗车, 感冒
  std::vector<ForecastDay> days;
};

// The table, 岳阳 first: it is the program's default city.
const std::vector<CityRecord>& Cities();
// nullptr for a name that is not in the table.
const CityRecord* FindCity(std::string_view utf8Name);

// The condition words that have icons on the portal, with their icon names: 晴 qing, 多云 duoyun,
// ... and 阵雪 zhenxue, the one name the portal has no picture for (clients draw xiaoxue
// instead). Empty for any other text.
std::string_view ConditionIconName(std::string_view utf8Condition);
// Every icon name of the vocabulary except zhenxue, without suffix: the pictures the portal has,
// each as NAME (day) and NAME_1 (night).
const std::vector<std::string>& ServedIconNames();

}  // namespace qc::portal
