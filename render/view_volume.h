// The view volume a projection matrix keeps, as the draw pass uses it: an object whose bounding
// sphere lies wholly outside would not cover a pixel, so it is left out of the draw.
//
// Eye space (after the model-view), world units. Matrices follow core/vec_math.h (column-major,
// translation in elements 12-14).
#pragma once

#include "core/vec_math.h"

namespace valley {

// True only when the whole sphere lies outside one of the six clip planes of the projection.
bool sphereOutsideView(const Vec3& centre, float radius, const Mat4& projection);

} // namespace valley
