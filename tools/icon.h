// The program's icon: the valley seen from above its near end, drawn from the same ground,
// textures and sky as the run-time data. Same pixels on every call.
#pragma once

#include "tools/image.h"

namespace vgen {

// A size x size picture: sky, the lake, meadows and the far rims, with haze in the distance.
Image makeIcon(int size);

} // namespace vgen
