// Sphere-versus-box contact: the face, edge or corner of a turned box a sphere touches.
//
// Units: world units and degrees. y points up. The box turns by its rotation through the
// vector rotations of core/vec_math.h: a world point enters box space by rotateY, rotateZ,
// rotateX of its offset from the box centre; a box direction leaves by the reverse.
#pragma once

#include "core/vec_math.h"

namespace valley {

struct BoxCollider;
struct CollisionSphere;

struct ContactResult {
    Vec3 normal;       // world direction out of the box; unit for a face, the gap vector at an edge
    float penetration; // negative when the sphere overlaps the box; 10 when nothing was found
    bool edgeContact;  // the sphere centre lies beyond an edge or corner of the box
};

// Where one in-face coordinate of the sphere centre lies against the face's rim.
enum class EdgeBand { inside, positiveBand, negativeBand, outside };

// Bands of the two in-face axes of the face across faceAxis (0 x, 1 y, 2 z), lower axis
// first, for a sphere of radius r at box-space point local against half extents half.
void classifyEdgeBands(int faceAxis, float r, const Vec3& local, const Vec3& half, EdgeBand bands[2]);

void contactSphereBox(ContactResult& result, const BoxCollider& box, const CollisionSphere& sphere);

} // namespace valley
