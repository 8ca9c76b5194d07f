// Meshes read from the COLLADA subset the valley's files use.
//
// Files are Z-up; the engine is Y-up: a file position (x, y, z) becomes (x, z, -y).
// Each vertex is 8 floats: position, normal (recomputed smooth), texture coordinate.
// The arrays stay in memory (the physics reads them) and are copied into two buffer objects.
#pragma once

#include "core/vec_math.h"

#include <cstdint>

struct Mesh {
    int32_t vertexCount;   // position count / 3
    int32_t stride;        // floats per vertex: 8
    float* vertices;       // vertexCount x stride floats, owned
    int32_t triangleCount; // polygon list count
    int32_t* indices;      // 3 x triangleCount vertex numbers, owned
    uint32_t vertexBuffer; // GL_ARRAY_BUFFER holding vertices
    uint32_t indexBuffer;  // GL_ELEMENT_ARRAY_BUFFER holding indices
    Vec3 extent;           // per axis, the largest absolute coordinate of any vertex
};

// Fills a caller-allocated record and hands it back. A failure prints
// "error: mesh <name> loaded incorrectly!" and leaves an empty mesh (zero counts, no buffers).
Mesh& loadMesh(Mesh& mesh, const char* fileName);
// Smooth normals (see smoothVertexNormals), then the whole vertex array is uploaded again to
// the mesh's vertex buffer when it has one.
void computeVertexNormals(Mesh& mesh);

// The part of loading that needs no OpenGL context. Parses a zero-terminated COLLADA document
// in place (the text is changed), fills arrays, smooth normals and extent; no buffers. False,
// leaving an empty mesh, for a document that is malformed, incomplete, short of the numbers its
// counts promise or naming a vertex, normal or texture coordinate that is not there.
bool readColladaMesh(char* text, Mesh& mesh);
// Loading short of the buffers: the whole file read and handed to readColladaMesh. False,
// leaving an empty mesh, for no name, a name without ".dae", a file that cannot be read or a
// document that is refused.
bool readColladaFile(const char* fileName, Mesh& mesh);
// Each vertex normal becomes the normalised mean of the unit normals of the triangles using it,
// (p1 - p2) x (p1 - p0) for a triangle's positions p0, p1, p2; zero when no triangle uses it.
// Indices must name vertices of the mesh.
void smoothVertexNormals(Mesh& mesh);
