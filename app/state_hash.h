// A hash of the session's state, to tell whether two runs ended exactly alike: the camera's
// position and angles, every object of the scene list that carries a behaviour, in list order,
// as its hashState adds it (a rock: position and velocity), and the selected block's position
// and rotation, each float by its bits (32-bit FNV-1a).
#pragma once

#include <cstdint>

namespace valley {

struct Camera;
struct SceneHandles;

uint32_t sessionStateHash(const Camera& camera, const SceneHandles& scene);

} // namespace valley
