// Meshes on the graphics card: a COLLADA file (assets/collada_reader.h) read into the mesh
// record (assets/mesh_data.h), whose arrays are then copied into two buffer objects.
#pragma once

#include "assets/mesh_data.h"

namespace valley {

// Fills a caller-allocated record and hands it back. A failure prints
// "error: mesh <name> loaded incorrectly!" and leaves an empty mesh (zero counts, no buffers).
Mesh& loadMesh(Mesh& mesh, const char* fileName);
// Smooth normals (see smoothVertexNormals), then the whole vertex array is uploaded again to
// the mesh's vertex buffer when it has one.
void computeVertexNormals(Mesh& mesh);

} // namespace valley
