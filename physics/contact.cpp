#include "physics/contact.h"

#include "physics/physics_world.h"

#include <cmath>

namespace {

struct Face {
    int axis;
    float sign;
};

// Tried in this order; a later accepted face replaces an earlier one.
const Face faces[6] = {{0, 1.0f}, {2, 1.0f}, {2, -1.0f}, {0, -1.0f}, {1, 1.0f}, {1, -1.0f}};

float along(const Vec3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

void setAlong(Vec3& v, int axis, float value) {
    if (axis == 0) {
        v.x = value;
    } else if (axis == 1) {
        v.y = value;
    } else {
        v.z = value;
    }
}

// The two axes lying in the face across faceAxis, lower first.
void inFaceAxes(int faceAxis, int axes[2]) {
    axes[0] = faceAxis == 0 ? 1 : 0;
    axes[1] = faceAxis == 2 ? 1 : 2;
}

EdgeBand bandOf(float p, float g, float r) {
    if (p > g) {
        return p - r < g ? EdgeBand::positiveBand : EdgeBand::outside;
    }
    if (p < -g) {
        return p + r > -g ? EdgeBand::negativeBand : EdgeBand::outside;
    }
    return EdgeBand::inside;
}

Vec3 worldDirection(Vec3 u, const Vec3& rotation) {
    rotateX(u, -rotation.x);
    rotateZ(u, -rotation.z);
    rotateY(u, -rotation.y);
    return u;
}

// The gap from the nearest point of the face's rim to the centre, in box space.
Vec3 edgeGap(const Face& face, float q, const Vec3& local, const Vec3& half, const EdgeBand bands[2]) {
    Vec3 v = {0.0f, 0.0f, 0.0f};
    setAlong(v, face.axis, face.sign * (q - along(half, face.axis)));
    int axes[2];
    inFaceAxes(face.axis, axes);
    for (int i = 0; i < 2; ++i) {
        const float p = along(local, axes[i]);
        const float g = along(half, axes[i]);
        if (bands[i] == EdgeBand::positiveBand) {
            setAlong(v, axes[i], p - g);
        } else if (bands[i] == EdgeBand::negativeBand) {
            setAlong(v, axes[i], p + g);
        }
    }
    return v;
}

} // namespace

void classifyEdgeBands(int faceAxis, float r, const Vec3& local, const Vec3& half, EdgeBand bands[2]) {
    int axes[2];
    inFaceAxes(faceAxis, axes);
    for (int i = 0; i < 2; ++i) {
        bands[i] = bandOf(along(local, axes[i]), along(half, axes[i]), r);
    }
}

void contactSphereBox(ContactResult& result, const BoxCollider& box, const CollisionSphere& sphere) {
    result.normal = {0.0f, 0.0f, 0.0f};
    result.penetration = 10.0f;
    if (!sphere.enabled) {
        return;
    }
    result.edgeContact = false;
    const float r = sphere.radius;
    const Vec3& half = box.halfExtent;
    Vec3 local = {sphere.center.x - box.position.x, sphere.center.y - box.position.y,
                  sphere.center.z - box.position.z};
    rotateY(local, box.rotation.y);
    rotateZ(local, box.rotation.z);
    rotateX(local, box.rotation.x);

    for (int f = 0; f < 6; ++f) {
        const Face& face = faces[f];
        const float h = along(half, face.axis);
        const float q = face.sign * along(local, face.axis);
        const float pen = q - r - h;
        EdgeBand bands[2];
        classifyEdgeBands(face.axis, r, local, half, bands);
        if (bands[0] == EdgeBand::outside || bands[1] == EdgeBand::outside || !(pen > -h)) {
            continue;
        }
        // The first face takes any depth short of the no-contact value, later ones only a
        // shallower overlap.
        const bool accepted = f == 0 ? pen < 10.0f
                                     : pen < 0.0f && std::fabs(pen) < std::fabs(result.penetration);
        if (!accepted) {
            continue;
        }
        result.penetration = pen;
        Vec3 outward = {0.0f, 0.0f, 0.0f};
        setAlong(outward, face.axis, face.sign);
        result.normal = worldDirection(outward, box.rotation);
        const bool inBand = bands[0] != EdgeBand::inside || bands[1] != EdgeBand::inside;
        if (inBand && q - h > 0.0f) {
            const Vec3 gap = edgeGap(face, q, local, half, bands);
            result.edgeContact = true;
            result.normal = worldDirection(gap, box.rotation);
            result.penetration = length(gap) - r;
        }
    }
}
