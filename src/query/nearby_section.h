#pragma once
// The nearby cities of a page: up to five rows in the lower part of 画板_关注, each with its name,
// its temperatures, two small condition icons from the built-in strip and a rule. Records each
// row's query name in CitySlots 7 to 11 and its condition text in NearbyConditions.

#include "primitives/text.h"

namespace qc {

inline constexpr int kMaxNearbyRows = 5;

void DrawNearbySection(const Text& content);

// The part of the content slice that holds the rows: up to the first "周边城市" and its first
// byte; empty when the marker is missing.
Text NearbyTextOf(const Text& content);

}  // namespace qc
