#pragma once
// Draws a cached condition icon through the shared PanelSurface and PanelImage, as the today
// and forecast sections do: the surface must already be bound to the panel.

#include "primitives/text.h"

namespace qc {

// A file that cannot be loaded draws nothing and leaves PanelImage without a picture.
void DrawPanelIcon(const Text& path, float x, float y, float size);

}  // namespace qc
