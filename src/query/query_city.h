#pragma once
// QueryCity: one city name to a full screen of weather. Fetches the city's page, shows its
// title, records the city in the recent list, clears the result areas and runs the four
// painting sections on the page's content slice. A failed fetch or a short page changes
// nothing but the (already emptied) search box.

#include "primitives/text.h"

namespace qc {

// Pages of this many bytes or fewer are not weather pages and are ignored.
inline constexpr int kShortestPage = 30000;

void QueryCity(const Text& city);

// The URL of a city's page; the city goes in exactly as given, unescaped.
Text CityPageUrl(const Text& city);
// The city title: the quoted title attribute of the first h3 in bytes 18000 to 18999, unquoted.
Text CityTitle(const Text& page);
// The part of the title before its first "("; empty when there is none or it comes first.
Text CityNameOf(const Text& title);
// From the first "载入中" up to the first "机场天气滚动"; empty when either is missing or out of
// order.
Text ContentSliceOf(const Text& page);

}  // namespace qc
