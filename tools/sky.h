// The sky: a cube seen from inside and the panorama texture it shows.
//
// The scene draws the cube turned about world x by skyTurnX degrees, then
// about world y by skyTurnY degrees (right-handed, positive turns
// counter-clockwise looking down the axis towards the origin). The cube is
// laid out in the world frame, where y is up, and every position is written
// through the inverse of that turn, so once the scene has turned it the
// cube's lid is overhead.
//
// The texture is an elevation-azimuth panorama: u = azimuth / 360 degrees,
// measured from +x towards +z (the way a viewer turning right sweeps);
// v = 0.5 + elevation / 180 degrees, zenith at v = 1 (the top row of the
// image, since a BMP's bottom row reaches OpenGL first).
#pragma once

#include "tools/image.h"
#include "tools/mesh.h"

namespace vgen {

constexpr double skyTurnX = 90.0;
constexpr double skyTurnY = 105.0;
// Grid steps along each edge of each cube face; even, so a vertex sits at
// the zenith.
constexpr int skyFaceSteps = 16;

// A right-handed turn of p about the x or y axis.
Vec3 turnAboutX(Vec3 p, double degrees);
Vec3 turnAboutY(Vec3 p, double degrees);

// The scene's turn of the sky cube, and its inverse.
Vec3 skyWorldFromMesh(Vec3 mesh);
Vec3 skyMeshFromWorld(Vec3 world);

// Panorama coordinates of a unit world direction; u in [0, 1).
Vec2 skyTexcoord(Vec3 direction);
// Colour of the sky in a unit world direction: haze at and below the
// horizon, blue towards the zenith, soft clouds in between.
Color skyColour(Vec3 direction);

// Cube of half size 1 seen from inside; each face a grid of
// skyFaceSteps x skyFaceSteps cells mapped onto the panorama.
Mesh buildSkyCube(const std::string& name);
Image makeSky(int width, int height);

} // namespace vgen
