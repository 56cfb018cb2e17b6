#pragma once
// The pointer on 画板_关注: resting on a nearby row's icons shows its condition text as the
// tooltip, and a press of the left button on a row searches for that row's city. Both work on
// fixed bands of the panel, not on the rows' drawn pitch.

namespace qc {

void OnFollowedPanelMouseMove(int x, int y);
void OnFollowedPanelLeftDown(int x, int y);

// The band tables, for the handlers and their tests. 0 means no band.
int HoverConditionIndex(int x, int y);  // element of NearbyConditions
bool InHoldingRectangle(int x, int y);  // where the tooltip keeps its text
int PressSlot(int x, int y);            // slot of CitySlots

}  // namespace qc
