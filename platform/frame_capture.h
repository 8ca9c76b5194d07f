// Saving the frame about to be presented: the back buffer read as RGBA (what WebGL can read
// too) and written top row first as an RGB PNG. Sizes in pixels.
#pragma once

#include "platform/file_write.h"

#include <string>

namespace valley {

Problem captureFrame(const std::string& path, int width, int height);

} // namespace valley
