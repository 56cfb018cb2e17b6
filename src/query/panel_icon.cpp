#include "query/panel_icon.h"

#include "app/globals.h"

namespace qc {

void DrawPanelIcon(const Text& path, float x, float y, float size) {
  if (!PanelImage || !PanelSurface)
    return;
  PanelImage->LoadFromFile(path);
  PanelSurface->DrawImageRect(*PanelImage, x, y, size, size);
}

}  // namespace qc
