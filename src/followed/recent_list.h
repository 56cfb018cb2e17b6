#pragma once
// The recent list: up to six city names in Configuration.ini, the latest query's city recorded
// after every successful query, and the left panel redrawn.

#include "primitives/text.h"

namespace qc {

// A new city is appended (or, with six listed, put first and the sixth dropped); a city seen
// before in this run moves to the front. An empty name is not recorded. Always ends by
// redrawing the recent rows.
void RecordRecentCity(const Text& city);

}  // namespace qc
