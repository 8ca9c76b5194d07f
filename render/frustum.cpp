#include "render/frustum.h"

#include "assets/mesh_data.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <cmath>

namespace valley {

namespace {

// A side-plane normal from the camera's frame (x forward, y up, z right) into the world.
Vec3 toWorld(Vec3 normal, const Camera& camera) {
    rotateX(normal, camera.roll);
    rotateZ(normal, camera.pitch);
    rotateY(normal, camera.yaw);
    return normal;
}

void turnPlates(RenderObject* const (&plates)[4], float fieldOfView) {
    float half = fieldOfView / 2.0f;
    plates[0]->rotation = {0.0f, 90.0f - half, -90.0f};
    plates[1]->rotation = {0.0f, -(90.0f - half), -90.0f};
    plates[2]->rotation.y = 0.0f;
    plates[2]->rotation.z = -half;
    plates[3]->rotation.y = 0.0f;
    plates[3]->rotation.z = half;
}

} // namespace

float frustumHalfAngle(float fieldOfView) {
    float t = tangentRoundedToFloat(radiansInFloat(fieldOfView));
    float h = 1.0f + 0.25f * t;
    return fieldOfView / h;
}

bool frustumCheck(const RenderObject& object, const Camera& camera, RenderObject* const (&plates)[4]) {
    turnPlates(plates, camera.fieldOfView);

    float a = frustumHalfAngle(camera.fieldOfView);
    float s = sineViaFloatRadians(a);
    float c = cosineViaFloatRadians(a);
    Vec3 front = {-1.0f, 0.0f, 0.0f};
    rotateY(front, camera.yaw);
    const Vec3 planes[5] = {
        toWorld({-s, 0.0f, c}, camera),  // right
        toWorld({-s, 0.0f, -c}, camera), // left
        toWorld({-s, -c, 0.0f}, camera), // bottom
        toWorld({-s, c, 0.0f}, camera),  // top
        front,
    };

    const Vec3& extent = object.mesh->extent;
    Vec3 centre = subtract(object.position, camera.position);
    for (int corner = 0; corner < 8; ++corner) {
        float sx = (corner & 1) ? 1.0f : -1.0f;
        float sy = (corner & 2) ? 1.0f : -1.0f;
        float sz = (corner & 4) ? 1.0f : -1.0f;
        Vec3 p = {centre.x + 0.5f * (sx * extent.x), centre.y + 0.5f * (sy * extent.y),
                  centre.z + 0.5f * (sz * extent.z)};
        bool inside = true;
        for (const Vec3& normal : planes) {
            inside = inside && dot(normal, p) < 0.0f;
        }
        if (inside) {
            return true;
        }
    }
    return false;
}

} // namespace valley
