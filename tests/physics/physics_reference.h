// Straightforward versions of the sphere-box contact test and the physics step, for the
// differential tests and the benchmarks: every turn through core/vec_math.h's rotations, every
// body against every other in list order. The engine's versions must give the same bits.
#pragma once

#include "physics/contact.h"

namespace valley {
struct ObjectList;
struct PhysicsWorld;
} // namespace valley

using namespace valley;

void referenceContactSphereBox(ContactResult& result, const BoxCollider& box, const CollisionSphere& sphere);
void referenceStepPhysics(ObjectList& bodies, PhysicsWorld& world);
