// Turns about one axis with their cosine and sine worked out once, for the physics' hot loops.
//
// Applying a turn gives the same bits as core/vec_math.h's rotateX/Y/Z by the same angle: the
// angle is rounded to float radians the same way, the cosine and sine are taken in double and
// rounded to float, and the same float formulas follow. The vector rotations spend most of
// their time in the double cosine and sine; a box, or a contact frame, turns several vectors
// by the same few angles.
#pragma once

#include "core/vec_math.h"

struct AxisTurn {
    float c;
    float s;
};

AxisTurn axisTurn(float degrees);

// The turn by -degrees from the turn by degrees. Exact: negating the angle negates its float
// radians, and the double sine is odd and the cosine even bit for bit (checked by the tests).
inline AxisTurn reversed(const AxisTurn& turn) { return {turn.c, -turn.s}; }

inline void turnX(Vec3& v, const AxisTurn& turn) {
    const float y = turn.c * v.y + turn.s * v.z;
    const float z = turn.c * v.z - turn.s * v.y;
    v.y = y;
    v.z = z;
}

inline void turnY(Vec3& v, const AxisTurn& turn) {
    const float x = turn.c * v.x - turn.s * v.z;
    const float z = turn.s * v.x + turn.c * v.z;
    v.x = x;
    v.z = z;
}

inline void turnZ(Vec3& v, const AxisTurn& turn) {
    const float x = turn.c * v.x + turn.s * v.y;
    const float y = turn.c * v.y - turn.s * v.x;
    v.x = x;
    v.y = y;
}

// The frame of a direction n (n is +x in it), as physics_step.h describes: entered by
// rotateY(-yawOf(n)) then rotateZ(pitchOf(n)), left by the reverse.
struct FrameTurns {
    AxisTurn unyaw;   // by -yaw about y
    AxisTurn tilt;    // by pitch about z
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
