// The view-frustum test: is any corner of an object's bounding box inside the camera's pyramid
// of view? Four side planes through the eye, tilted by a half-angle derived from the field of
// view and turned with the camera's roll, pitch and yaw, plus a vertical plane through the eye
// that keeps what lies ahead. Angles in degrees; world units; y up. Each call also turns the
// four frustum plates of the scene to show the field of view.
#pragma once

namespace valley {

struct Camera;
struct RenderObject;

// The half-angle A of the side planes, in degrees, for a field of view in degrees.
float frustumHalfAngle(float fieldOfView);

// Tests the object's box (position and mesh extents; its scale and rotation are not used)
// against the camera, and turns the scene's four frustum plates.
bool frustumCheck(const RenderObject& object, const Camera& camera, RenderObject* const (&plates)[4]);

} // namespace valley
