// Reading meshes from the COLLADA subset the valley's files use: one geometry's positions,
// normals and texture coordinates and its polygon list, read as triangles.
//
// Files are Z-up; the engine is Y-up: a file position (x, y, z) becomes (x, z, -y). Numbers are
// read as atof and atoi read them. Documents nested deeper than 256 levels of elements, or
// holding over a million tags and attributes, are refused unparsed.
#pragma once

#include "assets/mesh_data.h"
#include "core/problem.h"

#include <cstdint>

namespace valley {

// The part of loading that needs no OpenGL context. Parses a zero-terminated COLLADA document
// in place (the text is changed), fills arrays, smooth normals and extent; no buffers. A
// problem, leaving an empty mesh, for a document that is malformed, incomplete, short of the
// numbers its counts promise or naming a vertex, normal or texture coordinate that is not there.
Problem readColladaMesh(char* text, Mesh& mesh);
// The largest COLLADA file read: 64 MB, over twenty times the valley's terrain.
const uint64_t largestColladaFile = 64000000;
// Loading short of the buffers: the whole file read and handed to readColladaMesh. A problem,
// leaving an empty mesh, for no name, a name without ".dae", a file that cannot be read (not a
// regular file, or larger than largestColladaFile) or a document that is refused.
Problem readColladaFile(const char* fileName, Mesh& mesh);

} // namespace valley
