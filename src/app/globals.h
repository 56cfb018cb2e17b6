#pragma once
// The globals every part of the program shares, from start-up to exit. CreateGlobals makes
// them before the window is loaded; ReleaseGlobals frees them once when the program ends (and
// around each test case).

#include <cstdint>
#include <memory>

#include "drawing/draw_panel.h"
#include "drawing/graphics_surface.h"
#include "primitives/text.h"
#include "primitives/text_array.h"
#include "primitives/text_set.h"

namespace qc {

inline constexpr int kCitySlotCount = 15;

extern Text RunDirectory;                 // the program's directory, no trailing separator
extern WindowHandle FollowedPanelWindow;  // the tooltip's tool
extern std::uintptr_t GraphicsToken;      // set when the image layer starts
extern TextArray CitySlots;               // 1-6 recent rows, 7-11 nearby rows
extern TextSet FollowedSet;               // every name listed or recorded since start-up
extern TextArray NearbyConditions;        // the nearby rows' condition texts (tooltips)
extern std::unique_ptr<GraphicsSurface> PanelSurface;
extern std::unique_ptr<ImageObject> PanelImage;

void CreateGlobals();
// Runs its work once per CreateGlobals; a second call does nothing.
void ReleaseGlobals();
// How often ReleaseGlobals has done its work in this process (the probe reports it).
int GlobalsReleaseCount();

}  // namespace qc
