// The mesh record: vertex and index arrays with smooth normals and an extent, and the two
// buffer objects they are copied into (assets/mesh.h). The COLLADA reader fills the arrays;
// nothing here touches OpenGL.
//
// Y-up, as the engine. Each vertex is 8 floats: position, normal (recomputed smooth), texture
// coordinate. The arrays stay in memory (the physics reads them).
#pragma once

#include "core/vec_math.h"

#include <cstdint>

namespace valley {

constexpr int32_t floatsPerVertex = 8; // position, normal, texture coordinate

struct Mesh {
    int32_t vertexCount;   // position count / 3
    int32_t stride;        // floats per vertex: 8
    float* vertices;       // vertexCount x stride floats, owned
    int32_t triangleCount; // polygon list count
    int32_t* indices;      // 3 x triangleCount vertex numbers, owned
    uint32_t vertexBuffer; // GL_ARRAY_BUFFER holding vertices; 0 before the upload
    uint32_t indexBuffer;  // GL_ELEMENT_ARRAY_BUFFER holding indices; 0 before the upload
    Vec3 extent;           // per axis, the largest absolute coordinate of any vertex
};

// Each vertex normal becomes the normalised mean of the unit normals of the triangles using it,
// (p1 - p2) x (p1 - p0) for a triangle's positions p0, p1, p2; zero when no triangle uses it.
// Indices must name vertices of the mesh.
void smoothVertexNormals(Mesh& mesh);

// No vertices, no triangles, no buffers, zero extent; stride floatsPerVertex.
Mesh emptyMesh();
// Sets the extent: per axis, the largest absolute coordinate of any vertex (vertices no triangle
// uses included); with no vertex, the lowest float on every axis.
void computeExtent(Mesh& mesh);

} // namespace valley
