// The gradient painter of the welcome and credits screens: a surface filled with solid
// colour bands that shrink towards a centre.
#pragma once

#include <optional>

#include "render/numeric.h"
#include "render/surface.h"

namespace lmvn {

// The band shapes. Every style below kGradientCircles paints boxes.
inline constexpr Integer kGradientBoxes = 2;
inline constexpr Integer kGradientCircles = 7;

// The colour of band `band` of `bands`: each channel is from + (to - from) * band / bands,
// rounded to nearest (ties to even).
Colour GradientBandColour(Colour from, Colour to, Integer bands, Integer band);

// Paints `bands` bands from `from` (outermost, band 0) to the colour of band bands - 1
// (innermost), as if each band were drawn over the previous one:
//   style 7 (circles): band i is the filled circle around the centre with radius
//     (bands - i) * Rmax / bands, Rmax being the largest distance from the centre to a corner;
//   any other style (boxes): band i is the box from (width * i / (2 * bands),
//     height * i / (2 * bands)) to the mirror-image corner.
// The centre is in pixels and defaults to the middle of the surface. Each pixel is written
// once, so the work does not grow with the number of bands. Fewer than one band paints
// nothing.
void GradientFill(Surface& surface, Colour from, Colour to, Integer bands, Integer style,
                  std::optional<double> centreX = std::nullopt,
                  std::optional<double> centreY = std::nullopt);

}  // namespace lmvn
