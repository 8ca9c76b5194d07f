// The per-tick physics step: bodies against boxes, then against each other, then moved.
//
// Units: world units and degrees; velocities and pushes are per-tick amounts. y points up.
// Rotations follow core/vec_math.h. A direction n has a frame in which n is +x: enter it by
// rotateY(-yawOf(n)) then rotateZ(pitchOf(n)), leave it by the reverse.
#pragma once

namespace valley {

struct ObjectList;
struct PhysicsWorld;

// Works out every active body's velocity and next position; moves nothing yet. Each body
// meets the boxes in list order, then every other body whose enabled sphere overlaps its own,
// in list order (found by the pair search of broad_phase.h, once per step).
void stepPhysics(ObjectList& bodies, PhysicsWorld& world);
// Moves every active body to its next position plus its velocity; whatever draws a body reads
// its position afterwards.
void integrateBodies(ObjectList& bodies);

} // namespace valley
