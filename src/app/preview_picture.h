// The preview miniature drawn into a surface. The effects layer's DrawPreview replaces this
// local drawing once it exists; until then the bursts alone are drawn.
#pragma once

#include "render/colour.h"
#include "render/surface.h"

namespace lmvn::app {

void DrawPreviewPicture(Surface& surface, const Palette& palette);

}  // namespace lmvn::app
