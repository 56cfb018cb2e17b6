#include "app/globals.h"

namespace qc {

Text RunDirectory;
WindowHandle FollowedPanelWindow = 0;
std::uintptr_t GraphicsToken = 0;
TextArray CitySlots;
TextSet FollowedSet;
TextArray NearbyConditions;
std::unique_ptr<GraphicsSurface> PanelSurface;
std::unique_ptr<ImageObject> PanelImage;

namespace {
bool g_created = false;
int g_releaseCount = 0;
}  // namespace

void CreateGlobals() {
  CitySlots = TextArray(kCitySlotCount);
  FollowedSet.Clear();
  NearbyConditions = TextArray(5);
  PanelSurface = std::make_unique<GraphicsSurface>();
  PanelImage = std::make_unique<ImageObject>();
  g_created = true;
}

void ReleaseGlobals() {
  if (!g_created)
    return;
  g_created = false;
  RunDirectory.clear();
  CitySlots = TextArray();
  FollowedSet.Clear();
  NearbyConditions = TextArray();
  PanelSurface.reset();
  PanelImage.reset();
  ++g_releaseCount;
}

int GlobalsReleaseCount() {
  return g_releaseCount;
}

}  // namespace qc
