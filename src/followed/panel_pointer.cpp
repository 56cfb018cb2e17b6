#include "followed/panel_pointer.h"

#include "app/form_state.h"
#include "app/globals.h"
#include "app/search_entry.h"

namespace qc {
namespace {

struct Band {
  int above;  // exclusive bounds
  int below;
  int index;
};

// The nearby bands are narrower than the 35-pixel rows they serve and do not follow their
// pitch; they are what users have always been able to hit.
constexpr Band kHoverBands[] = {
    {215, 235, 1}, {240, 260, 2}, {295, 315, 3}, {330, 340, 4}, {355, 375, 5},
};
constexpr Band kPressBands[] = {
    {20, 48, 1},   {48, 76, 2},   {76, 104, 3},  {104, 132, 4},  {132, 160, 5},  {160, 188, 6},
    {215, 235, 7}, {240, 260, 8}, {295, 315, 9}, {330, 340, 10}, {355, 375, 11},
};

int BandAt(const Band* begin, const Band* end, int y) {
  for (const Band* band = begin; band != end; ++band) {
    if (band->above < y && y < band->below)
      return band->index;
  }
  return 0;
}

}  // namespace

int HoverConditionIndex(int x, int y) {
  if (!(150 < x && x < 210))
    return 0;
  return BandAt(std::begin(kHoverBands), std::end(kHoverBands), y);
}

bool InHoldingRectangle(int x, int y) {
  return x >= 150 && x <= 216 && y >= 215 && y <= 325;
}

int PressSlot(int x, int y) {
  if (x <= 0)
    return 0;
  return BandAt(std::begin(kPressBands), std::end(kPressBands), y);
}

void OnFollowedPanelMouseMove(int x, int y) {
  FormState& form = Form();
  if (const int index = HoverConditionIndex(x, y); index != 0) {
    form.tooltip.Set(NearbyConditions.Get(index));
  } else if (!InHoldingRectangle(x, y)) {
    form.tooltip.Set(Text());
  }
}

void OnFollowedPanelLeftDown(int x, int y) {
  FormState& form = Form();
  if (const int slot = PressSlot(x, y); slot != 0)
    form.searchBox.Set(CitySlots.Get(slot));
  // A press outside every band searches only what the user typed since the last query.
  if (TextLength(form.searchBox.Get()) > 0)
    RunSearch();
}

}  // namespace qc
