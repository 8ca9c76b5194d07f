// Triangle meshes held in engine coordinates (y up), their COLLADA encoding,
// and the simple shapes the scene uses.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vgen {

struct Vec2 {
    double x = 0, y = 0;
};

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, double s);
Vec3 cross(Vec3 a, Vec3 b);
double dot(Vec3 a, Vec3 b);
Vec3 normalize(Vec3 a);

// One triangle corner: separate indices into positions, normals, texcoords.
struct Corner {
    std::uint32_t p = 0, n = 0, t = 0;
};
using Triangle = std::array<Corner, 3>;

// Positions and normals are in engine space: x right, y up, z towards the
// viewer. Triangles are counter-clockwise seen from their visible side.
struct Mesh {
    std::string name;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texcoords;
    std::vector<Triangle> triangles;
};

// The files are Z_UP; the engine maps file (x, y, z) to (x, z, -y).
Vec3 engineToFile(Vec3 e);
Vec3 fileToEngine(Vec3 f);

// Formats a number the way every float in our COLLADA files is written.
std::string formatNumber(double v);

// COLLADA 1.4.1 document with one geometry (positions, normals, texcoords,
// one triangle polylist) instanced by one node.
std::string writeCollada(const Mesh& mesh);

// Regular side x side grid in the x-z plane, centred on the origin, with
// positions indexed i + side * k (i along x, k along z). `height` gets engine
// x and z; texcoords advance `uvPerCell` per grid step.
Mesh buildGridMesh(const std::string& name, int side, double halfWidth,
                   const std::function<double(double, double)>& height, double uvPerCell);

// Cube of half size 1, four positions per face, faces pointing outwards.
Mesh buildCube(const std::string& name);
// Unit UV sphere with single pole vertices.
Mesh buildSphere(const std::string& name, int slices, int stacks);

} // namespace vgen
