#include "physics/contact.h"

#include "physics/physics_world.h"

#include <cmath>
#include <cstring>

namespace valley {

namespace {

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

// The box's turns for its current rotation. Working out three cosines and sines twice costs
// more than the rest of a contact test, so they are kept with the box until it turns.
const BoxTurns& turnsOf(const BoxCollider& box) {
    BoxTurns& turns = box.turns;
    if (turns.valid && std::memcmp(&turns.rotation, &box.rotation, sizeof(Vec3)) == 0) {
        return turns;
    }
    const float angles[3] = {box.rotation.x, box.rotation.y, box.rotation.z};
    for (int axis = 0; axis < 3; ++axis) {
        turns.into[axis] = axisTurn(angles[axis]);
        turns.outOf[axis] = axisTurn(-angles[axis]);
    }
    turns.rotation = box.rotation;
    turns.valid = true;
    return turns;
}

// A world point's offset from the box centre, in box space: rotateY, rotateZ, rotateX.
void intoBox(Vec3& v, const BoxTurns& turns) {
    turnY(v, turns.into[1]);
    turnZ(v, turns.into[2]);
    turnX(v, turns.into[0]);
}

// A box-space direction in the world: the reverse turns in the reverse order.
Vec3 worldDirection(Vec3 u, const BoxTurns& turns) {
    turnX(u, turns.outOf[0]);
    turnZ(u, turns.outOf[2]);
    turnY(u, turns.outOf[1]);
    return u;
}

// One face's turn in the contact test: taken when the sphere is not beyond the face's rim and
// its depth qualifies; at an edge or corner the gap to the rim replaces the face normal. The
// normal is kept in box space and brought out to the world once, at the end.
struct FaceSearch {
    float p[3]; // box-space centre
    float g[3]; // half extents
    float r;
    EdgeBand band[3]; // of each box axis, the same for every face it lies in
    Vec3 normal;      // box space
    bool found;
};

inline void tryFace(FaceSearch& search, ContactResult& result, bool first, int axis, float sign) {
    const int axes[2] = {axis == 0 ? 1 : 0, axis == 2 ? 1 : 2};
    const EdgeBand bands[2] = {search.band[axes[0]], search.band[axes[1]]};
    const float h = search.g[axis];
    const float q = sign * search.p[axis];
    const float pen = q - search.r - h;
    if (bands[0] == EdgeBand::outside || bands[1] == EdgeBand::outside || !(pen > -h)) {
        return;
    }
    // The first face takes any depth short of the no-contact value, later ones only a
    // shallower overlap.
    const bool accepted = first ? pen < 10.0f : pen < 0.0f && std::fabs(pen) < std::fabs(result.penetration);
    if (!accepted) {
        return;
    }
    result.penetration = pen;
    search.found = true;
    search.normal = {0.0f, 0.0f, 0.0f};
    setAlong(search.normal, axis, sign);
    const bool inBand = bands[0] != EdgeBand::inside || bands[1] != EdgeBand::inside;
    if (inBand && q - h > 0.0f) {
        Vec3 gap = {0.0f, 0.0f, 0.0f};
        setAlong(gap, axis, sign * (q - h));
        for (int i = 0; i < 2; ++i) {
            const float p = search.p[axes[i]];
            const float g = search.g[axes[i]];
            if (bands[i] == EdgeBand::positiveBand) {
                setAlong(gap, axes[i], p - g);
            } else if (bands[i] == EdgeBand::negativeBand) {
                setAlong(gap, axes[i], p + g);
            }
        }
        result.edgeContact = true;
        search.normal = gap;
        result.penetration = length(gap) - search.r;
    }
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
    const BoxTurns& turns = turnsOf(box);
    Vec3 local = subtract(sphere.center, box.position);
    intoBox(local, turns);

    FaceSearch search;
    search.p[0] = local.x;
    search.p[1] = local.y;
    search.p[2] = local.z;
    search.g[0] = box.halfExtent.x;
    search.g[1] = box.halfExtent.y;
    search.g[2] = box.halfExtent.z;
    search.r = sphere.radius;
    for (int axis = 0; axis < 3; ++axis) {
        search.band[axis] = bandOf(search.p[axis], search.g[axis], search.r);
    }
    search.found = false;
    // Tried in this order; a later accepted face replaces an earlier one.
    tryFace(search, result, true, 0, 1.0f);
    tryFace(search, result, false, 2, 1.0f);
    tryFace(search, result, false, 2, -1.0f);
    tryFace(search, result, false, 0, -1.0f);
    tryFace(search, result, false, 1, 1.0f);
    tryFace(search, result, false, 1, -1.0f);
    if (search.found) {
        result.normal = worldDirection(search.normal, turns);
    }
}

} // namespace valley
