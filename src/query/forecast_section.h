#pragma once
// The forecast strip 画板_未来: one 120-pixel column per coming day, each with its heading, a
// daytime and a night-time half with their headings, 40 x 40 icons and four texts. Every day
// of the page is drawn, also those beyond the panel's right edge.

#include <array>
#include <vector>

#include "primitives/text.h"

namespace qc {

// One day of the strip: its twelve texts by group number (1 the heading, 3 the daytime icon's
// address, 9 the night-time condition, ...); element 0 is unused.
using ForecastDayTexts = std::array<Text, 13>;

std::vector<ForecastDayTexts> ScrapeForecastDays(const Text& content);
void DrawForecastSection(const Text& content);

// From the first "未来" to the first "订阅天气短信" after it; empty when either is missing.
Text ForecastTextOf(const Text& content);
// The daytime icon name from the text between "url" and "png": the bytes after its last "/",
// without the last byte (the dot).
Text ForecastDayIconName(const Text& address);

}  // namespace qc
