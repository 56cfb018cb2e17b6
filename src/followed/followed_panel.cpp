#include "followed/followed_panel.h"

#include "app/form_state.h"
#include "app/globals.h"
#include "followed/config_file.h"
#include "primitives/profile.h"
#include "query/query_city.h"
#include "query/today_font.h"

namespace qc {
namespace {

constexpr char kHeadingDay[] = "\xBD\xF1\xCC\xEC\xB0\xD7\xCC\xEC";     // 今天白天
constexpr char kHeadingNight[] = "\xBD\xF1\xCC\xEC\xD2\xB9\xBC\xE4";   // 今天夜间
constexpr char kHeadingRecent[] = "\xD7\xEE\xBD\xFC\xB9\xD8\xD7\xA2";  // 最近关注
constexpr int kRowPitch = 28;

}  // namespace

void RefreshFollowedPanel(RefreshMode mode) {
  FormState& form = Form();
  DrawPanel& panel = form.followedPanel;

  if (mode == RefreshMode::StartUp)
    RemoveAbandonedWritesOfEarlierRuns();
  CreateMissingFiles();
  // Clears the nearby rows too; the query that follows redraws them.
  panel.ClearRect(0, 25, 216, 400);
  const int count = RecentCount();
  panel.DrawLine(0, 20, 216, 20);
  int y = 48;
  for (int n = 1; n <= count; ++n) {
    CitySlots.Set(n, ReadProfileText(ConfigPath(), kRecentSection, IntToText(n)));
    FollowedSet.Add(CitySlots.Get(n));
    panel.WriteAt(10, y - 20, CitySlots.Get(n));
    panel.DrawLine(0, y, 216, y);
    y += kRowPitch;
  }

  if (mode != RefreshMode::StartUp)
    return;
  form.mainPanel.SetFont(TodayFont(12));
  form.mainPanel.SetTextColour(Rgb(0xFFFFFF));
  form.mainPanel.WriteAt(10, 5, kHeadingDay);
  form.mainPanel.WriteAt(150, 5, kHeadingNight);
  panel.WriteAt(5, 2, kHeadingRecent);
  // Key 1 is read whatever A says: with A = 0 a stale key 1 is still queried.
  QueryCity(TrimSpaces(ReadProfileText(ConfigPath(), kRecentSection, "1")));
}

}  // namespace qc
