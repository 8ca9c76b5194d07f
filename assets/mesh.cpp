// Meshes on the graphics card: the upload to buffer objects, and loading a COLLADA file
// (assets/collada_reader.h) into a record (assets/mesh_data.h) that is then uploaded.

#include "assets/mesh.h"

#include "assets/collada_reader.h"
#include "core/report.h"
#include "platform/gl.h"

namespace valley {

namespace {

// Replaces the bound GL_ARRAY_BUFFER's contents with the whole vertex array.
void bufferVertices(const Mesh& mesh) {
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(static_cast<size_t>(mesh.vertexCount) * mesh.stride * sizeof(float)),
                 mesh.vertices, GL_STATIC_DRAW);
}

// Both buffers stay bound.
void uploadMesh(Mesh& mesh) {
    GLuint buffers[2] = {0, 0};
    glGenBuffers(1, &buffers[0]);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    bufferVertices(mesh);
    glGenBuffers(1, &buffers[1]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(static_cast<size_t>(mesh.triangleCount) * 3 * sizeof(int32_t)),
                 mesh.indices, GL_STATIC_DRAW);
    mesh.vertexBuffer = buffers[0];
    mesh.indexBuffer = buffers[1];
}

} // namespace

void computeVertexNormals(Mesh& mesh) {
    smoothVertexNormals(mesh);
    if (mesh.vertexBuffer != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
        bufferVertices(mesh);
    }
}

Mesh& loadMesh(Mesh& mesh, const char* fileName) {
    if (report(readColladaFile(fileName, mesh), Failure::mesh, fileName == nullptr ? "" : fileName)) {
        return mesh;
    }
    uploadMesh(mesh);
    return mesh;
}

} // namespace valley
