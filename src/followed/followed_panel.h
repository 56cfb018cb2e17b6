#pragma once
// The upper part of 画板_关注: the recent cities of Configuration.ini under the heading 最近关注,
// with their rules, remembered in CitySlots 1 to 6 and in FollowedSet. At start-up it also
// prepares 画板_主 and runs the first query.

namespace qc {

enum class RefreshMode {
  Rows,     // redraw the recent rows (after every query)
  StartUp,  // also the headings, the today panel's font, and the first query
};

void RefreshFollowedPanel(RefreshMode mode);

}  // namespace qc
