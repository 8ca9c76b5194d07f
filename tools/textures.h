// Procedural textures of the ground, rocks and water; each tiles seamlessly
// in both directions. The sky's panorama lives in sky.h.
#pragma once

#include "tools/image.h"

namespace vgen {

Image makeRhyolite(int size);           // weathered grey-brown stone with stains and cracks
Image makeDarkRock(int size);           // darker grey cracked rock
Image makeOverlayedSquare(int size);    // checkerboard in a dark frame
Image makeWater(int size);              // blue-green ripples
Image makeGrass(int size, int variant); // variant 0: meadow green, 1: drier olive

} // namespace vgen
