// Turns about one axis with their cosine and sine worked out once and fast, for the physics'
// hot loops.
//
// axisTurn gives the same bits as core/vec_math.h's turnViaFloatRadians, so turnX/Y/Z by it
// give the same bits as rotateX/Y/Z by the same angle. The vector rotations spend most of their
// time in the double cosine and sine; a box, or a contact frame, turns several vectors by the
// same few angles.
#pragma once

#include "core/vec_math.h"

namespace valley {

// turnViaFloatRadians(degrees) of core/vec_math.h, to the bit.
AxisTurn axisTurn(float degrees);

// The frame of a direction n (n is +x in it), as physics_step.h describes: the turns of
// core/vec_math.h's intoFrame and outOfFrame by anglesOf(n), worked out once.
struct FrameTurns {
    AxisTurn unyaw; // by -yaw about y
    AxisTurn tilt;  // by pitch about z
};

// Works out yawOf(n) and pitchOf(n) as core/vec_math.cpp does, sharing the turn by -yaw that
// pitchOf makes, and the two turns from them.
FrameTurns frameTurnsOf(const Vec3& n);

inline void intoFrame(Vec3& v, const FrameTurns& frame) {
    turnY(v, frame.unyaw);
    turnZ(v, frame.tilt);
}

inline void outOfFrame(Vec3& v, const FrameTurns& frame) {
    turnZ(v, reversed(frame.tilt));
    turnY(v, reversed(frame.unyaw));
}

} // namespace valley
