// Ground drawn in pieces by slope: the terrain shader blends its rock texture (steep ground)
// into its grass texture (flat ground) by the height of the surface normal, and a triangle
// that lies wholly on one side of that blend is drawn by a variant of the program that reads
// only the one texture it shows. The picture stays the same; the variant skips a texture read.
// Each slope class is also cut into tiles over the ground's x-z extent, so that the draw can
// leave out the tiles that lie wholly outside the view.
//
// Normals as the terrain shader sees them: the mesh's vertex normals turned by an identity
// normal matrix, interpolated across the triangle and normalised; y points up.
#pragma once

#include "core/vec_math.h"

#include <cstdint>

namespace valley {

struct Mesh;

// The two edges of the terrain shader's blend: rock alone where the normal's y is at most
// rockBelow, grass alone from grassAbove up ("smoothstep(0.65, 0.85, n.y)").
const float rockBelow = 0.65f;
const float grassAbove = 0.85f;

enum GroundSlope : int32_t {
    steepGround = 0, // every point below the blend: rock alone
    flatGround = 1,  // every point above it: grass alone
    mixedGround = 2, // the blend may show somewhere: both textures
};

// The slope class of a triangle from its three vertex normals. Conservative: steep or flat
// only when every normalised blend of the three, rounding included, is on that side.
GroundSlope groundSlopeOf(const Vec3 normals[3]);

const int groundTilesPerSide = 8;
const int groundTileCount = groundTilesPerSide * groundTilesPerSide;

struct GroundTile {
    Vec3 centre;  // object space: the middle of the box around the tile's triangles
    float radius; // half the box's diagonal, so every corner of them lies within; 0 when none
};

struct GroundRun {
    int32_t firstIndex; // into the pieces' index buffer
    int32_t indexCount; // 3 per triangle; 0 when the tile has none of the class
};

struct GroundPieces {
    uint32_t indexBuffer;     // GL_ELEMENT_ARRAY_BUFFER: the mesh's triangles, steep, then flat, then mixed
    int32_t triangleCount[3]; // per GroundSlope, in that order
    GroundTile tiles[groundTileCount];
    GroundRun runs[3][groundTileCount]; // per GroundSlope, tile by tile as the buffer holds them
};

// Sorts the mesh's triangles by slope, within a class by tile (each tile in the mesh's order),
// into an index buffer of their own; the mesh's arrays and buffers stay as they are. Needs a
// current context.
GroundPieces* makeGroundPieces(const Mesh& mesh); // caller owns; release with freeGroundPieces
void freeGroundPieces(GroundPieces* pieces);

} // namespace valley
