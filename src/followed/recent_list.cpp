#include "followed/recent_list.h"

#include "app/globals.h"
#include "followed/config_file.h"
#include "followed/followed_panel.h"
#include "primitives/profile.h"
#include "primitives/text_array.h"

namespace qc {
namespace {

void WriteRecent(int key, const Text& city) {
  WriteProfileText(ConfigPath(), kRecentSection, IntToText(key), city);
}

}  // namespace

void RecordRecentCity(const Text& city) {
  // A page without a usable title gives no name; storing an empty recent city would put a
  // blank row in the list and a blank start-up query. A name the file cannot hold (a line break
  // from a hostile title) would do the same, since the count is written before the name.
  if (city.empty() || !IsStorableProfileValue(city)) {
    RefreshFollowedPanel(RefreshMode::Rows);
    return;
  }

  TextArray names(kMaxRecentCities);
  const int count = RecentCount();
  for (int i = 1; i <= count; ++i) {
    names.Set(i, TrimSpaces(ReadProfileText(ConfigPath(), kRecentSection, IntToText(i))));
  }

  const bool isNew = FollowedSet.Add(city);
  if (isNew && count < kMaxRecentCities) {
    WriteProfileText(ConfigPath(), kCountSection, kCountKey, IntToText(count + 1));
    WriteRecent(count + 1, city);
  } else if (isNew) {
    for (int i = 1; i <= kMaxRecentCities - 1; ++i)
      WriteRecent(i + 1, names.Get(i));
    WriteRecent(1, city);
  } else {
    // Known in this run: move it to the front, the others keep their order behind it. A city
    // that dropped out of a full list pushes the sixth name onto key 7, above the count.
    int next = 2;
    for (int i = 1; i <= count; ++i) {
      if (names.Get(i) != city)
        WriteRecent(next++, names.Get(i));
    }
    WriteRecent(1, city);
  }
  RefreshFollowedPanel(RefreshMode::Rows);
}

}  // namespace qc
