#pragma once
// The nearby cities of a page: up to five rows in the lower part of 画板_关注, each with its name,
// its temperatures, two small condition icons from the built-in strip and a rule. Records each
// row's query name in CitySlots 7 to 11 and its condition text in NearbyConditions.

#include <vector>

#include "primitives/text.h"

namespace qc {

inline constexpr int kMaxNearbyRows = 5;

struct NearbyRow {
  Text queryName;     // the city= value of the row's link
  Text name;          // written at x 10
  Text temperatures;  // written at x 70
  Text condition;     // trimmed and unquoted; the tooltip and the icons
};

// The rows of the page, at most five.
std::vector<NearbyRow> ScrapeNearbyRows(const Text& content);
void DrawNearbySection(const Text& content);

// The part of the content slice that holds the rows: up to the first "周边城市" and its first
// byte; empty when the marker is missing.
Text NearbyTextOf(const Text& content);

}  // namespace qc
