// A hash of the session's state, to tell whether two runs ended exactly alike: the camera's
// position and angles, every rock in the scene (position and velocity, in list order) and the
// selected block's position and rotation, each float by its bits (32-bit FNV-1a).
#pragma once

#include <cstdint>

namespace valley {

struct SceneHandles;

uint32_t sessionStateHash(const SceneHandles& scene);

} // namespace valley
