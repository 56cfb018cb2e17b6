#include "query/query_city.h"

#include "app/form_state.h"
#include "followed/recent_list.h"
#include "primitives/pattern.h"
#include "query/forecast_section.h"
#include "query/http_get.h"
#include "query/info_section.h"
#include "query/nearby_section.h"
#include "query/portal_host.h"
#include "query/query_observer.h"
#include "query/today_font.h"
#include "query/today_section.h"

namespace qc {
namespace {

constexpr char kLoadingMarker[] = "\xD4\xD8\xC8\xEB\xD6\xD0";  // 载入中
constexpr char kAirportMarker[] =
    "\xBB\xFA\xB3\xA1\xCC\xEC\xC6\xF8\xB9\xF6\xB6\xAF";  // 机场天气滚动

QueryObserver* g_observer = nullptr;

// Tells the observer of the query's end on every way out of QueryCity.
class ObservedQuery {
 public:
  explicit ObservedQuery(const Text& city) {
    if (g_observer != nullptr)
      g_observer->QueryStarted(city);
  }
  ~ObservedQuery() {
    if (g_observer != nullptr)
      g_observer->QueryFinished();
  }
  ObservedQuery(const ObservedQuery&) = delete;
  ObservedQuery& operator=(const ObservedQuery&) = delete;
};

}  // namespace

void SetQueryObserver(QueryObserver* observer) {
  g_observer = observer;
}
QueryObserver* CurrentQueryObserver() {
  return g_observer;
}

Text CityPageUrl(const Text& city) {
  // The leading space is part of the URL text as the program has always built it; HttpGet
  // skips it.
  return ConcatText({" ", "http://", PortalHost(), "/search.php?f=1&c=1&city=", city, "&dpc=1"});
}

Text CityTitle(const Text& page) {
  static const Pattern titlePattern = CompiledPattern("<h3.*?title=(.*?)>");
  const Text area = TextMid(page, 18000, 1000);
  const Text quoted = GroupText(SearchPattern(titlePattern, area), area, 1);
  // Drops the quotation marks around the attribute value.
  return TextMid(quoted, 2, TextLength(quoted) - 2);
}

Text CityNameOf(const Text& title) {
  return TextLeft(title, FindText(title, "(") - 1);
}

Text ContentSliceOf(const Text& page) {
  const int p1 = FindText(page, kLoadingMarker);
  const int p2 = FindText(page, kAirportMarker);
  return TextMid(page, p1, p2 - p1);
}

void QueryCity(const Text& city) {
  const ObservedQuery observed(city);
  FormState& form = Form();
  form.searchBox.Set(Text());

  const Text page = BytesToText(HttpGet(CityPageUrl(city)));
  if (TextLength(page) <= kShortestPage)
    return;

  const Text title = CityTitle(page);
  form.titleLabel.Set(title);
  RecordRecentCity(CityNameOf(title));

  form.mainPanel.SetFont(TodayFont(12));
  form.mainPanel.SetTextColour(Rgb(0xFFFFFF));
  // The headings of the today panel (top 30 rows) and of the information panel (top 40 rows)
  // were drawn at start-up and stay.
  form.mainPanel.ClearRect(0, 30, 300, 180);
  form.infoPanel.ClearRect(0, 40, 168, 80);
  form.infoPanel.ClearRect(0, 100, 168, 100);
  form.infoPanel.ClearRect(0, 135, 168, 80);
  form.forecastPanel.ClearRect();

  const Text content = ContentSliceOf(page);
  DrawNearbySection(content);
  DrawTodaySection(content);
  DrawInfoSection(content);
  DrawForecastSection(content);
}

}  // namespace qc
