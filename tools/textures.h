// Procedural textures. All but the sky tile seamlessly in both directions;
// the sky tiles horizontally.
#pragma once

#include "tools/image.h"

namespace vgen {

Image makeRhyolite(int size);           // pinkish-grey volcanic rock with speckles
Image makeDarkRock(int size);           // darker grey cracked rock
Image makeOverlayedSquare(int size);    // checkerboard in a dark frame
Image makeWater(int size);              // blue-green ripples
Image makeGrass(int size, int variant); // variant 0: fresh green, 1: drier olive
// Sky panorama: light haze at the middle row to deep blue at the top and
// bottom rows, soft clouds in between. Mirror-symmetric about the middle row
// so it looks the same whichever way up a loader stores the rows.
Image makeSky(int width, int height);

} // namespace vgen
