// COLLADA meshes: one geometry's positions, normals and texture coordinates and its polygon
// list read as triangles. Units are the file's; the file is Z-up, the engine Y-up, so a file
// position (x, y, z) becomes (x, z, -y). Numbers are read as atof and atoi read them, from
// tokens split on single spaces only (a newline or tab stays inside a token).
#include "assets/mesh.h"

#include "assets/whole_file.h"

#include <epoxy/gl.h>
#include <rapidxml/rapidxml.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using XmlNode = rapidxml::xml_node<>;

constexpr int32_t floatsPerVertex = 8;
constexpr float largestFloat = 3.4028235e38f;
// Far above any mesh of the valley; keeps every size below within 32-bit counts.
constexpr int64_t largestCount = int64_t{1} << 26;

Mesh emptyMesh() {
    return Mesh{0, floatsPerVertex, nullptr, 0, nullptr, 0, 0, Vec3{0.0f, 0.0f, 0.0f}};
}

// The first child element (with the name, when one is given); none for no parent.
XmlNode* firstElement(XmlNode* parent, const char* name = nullptr) {
    if (parent == nullptr) {
        return nullptr;
    }
    XmlNode* node = parent->first_node(name);
    while (node != nullptr && node->type() != rapidxml::node_element) {
        node = node->next_sibling(name);
    }
    return node;
}

XmlNode* nextElement(XmlNode* node) {
    if (node == nullptr) {
        return nullptr;
    }
    XmlNode* next = node->next_sibling();
    while (next != nullptr && next->type() != rapidxml::node_element) {
        next = next->next_sibling();
    }
    return next;
}

// Cuts the next token out of the text in place, as strtok with the one delimiter ' ' would,
// but without hidden state; none at the end of the text.
char* nextToken(char*& cursor) {
    while (*cursor == ' ') {
        ++cursor;
    }
    if (*cursor == '\0') {
        return nullptr;
    }
    char* token = cursor;
    while (*cursor != ' ' && *cursor != '\0') {
        ++cursor;
    }
    if (*cursor == ' ') {
        *cursor++ = '\0';
    }
    return token;
}

// The element's "count" attribute read as atoi does. Refused when missing, negative, above
// the largest count the engine takes, or above `limit`.
bool readCount(XmlNode* element, int64_t limit, int64_t& count) {
    rapidxml::xml_attribute<>* attribute = element->first_attribute("count");
    if (attribute == nullptr) {
        return false;
    }
    count = std::strtol(attribute->value(), nullptr, 10);
    return count >= 0 && count <= largestCount && count <= limit;
}

// A token takes at least one character and all but the last a space after it.
int64_t tokensAtMost(XmlNode* element) {
    return static_cast<int64_t>(element->value_size() / 2 + 1);
}

// The first `count` numbers of the element's text, as atof reads them, rounded to float.
bool readFloatArray(XmlNode* source, std::vector<float>& values) {
    XmlNode* array = firstElement(source, "float_array");
    int64_t count = 0;
    if (array == nullptr || !readCount(array, tokensAtMost(array), count)) {
        return false;
    }
    values.resize(static_cast<size_t>(count));
    char* cursor = array->value();
    for (float& value : values) {
        char* token = nextToken(cursor);
        if (token == nullptr) {
            return false;
        }
        value = static_cast<float>(std::strtod(token, nullptr));
    }
    return true;
}

struct Corner {
    int64_t vertex;
    int64_t normal;
    int64_t texcoord;
};

// The first 3 x count corners of the polygon list's <p>, each checked against the arrays.
bool readCorners(XmlNode* polylist, int64_t vertexCount, int64_t normalCount, int64_t texcoordCount,
                 std::vector<Corner>& corners) {
    XmlNode* p = firstElement(polylist, "p");
    int64_t triangleCount = 0;
    if (p == nullptr || !readCount(polylist, tokensAtMost(p) / 9, triangleCount)) {
        return false;
    }
    corners.resize(static_cast<size_t>(3 * triangleCount));
    char* cursor = p->value();
    for (Corner& corner : corners) {
        int64_t* fields[3] = {&corner.vertex, &corner.normal, &corner.texcoord};
        for (int64_t* field : fields) {
            char* token = nextToken(cursor);
            if (token == nullptr) {
                return false;
            }
            // atoi is strtol narrowed to int; a value outside int is refused below anyway.
            *field = std::strtol(token, nullptr, 10);
        }
        if (corner.vertex < 0 || corner.vertex >= vertexCount || corner.normal < 0 ||
            corner.normal >= normalCount || corner.texcoord < 0 || corner.texcoord >= texcoordCount) {
            return false;
        }
    }
    return true;
}

void computeExtent(Mesh& mesh) {
    float lowest[3] = {largestFloat, largestFloat, largestFloat};
    float highest[3] = {-largestFloat, -largestFloat, -largestFloat};
    for (int32_t i = 0; i < mesh.vertexCount; ++i) {
        const float* position = mesh.vertices + static_cast<size_t>(i) * mesh.stride;
        for (int axis = 0; axis < 3; ++axis) {
            if (position[axis] < lowest[axis]) {
                lowest[axis] = position[axis];
            }
            if (position[axis] > highest[axis]) {
                highest[axis] = position[axis];
            }
        }
    }
    float extent[3];
    for (int axis = 0; axis < 3; ++axis) {
        extent[axis] = -lowest[axis] > highest[axis] ? -lowest[axis] : highest[axis];
    }
    mesh.extent = Vec3{extent[0], extent[1], extent[2]};
}

Vec3 positionOf(const Mesh& mesh, int32_t vertex) {
    const float* v = mesh.vertices + static_cast<size_t>(vertex) * mesh.stride;
    return Vec3{v[0], v[1], v[2]};
}

Vec3 difference(const Vec3& a, const Vec3& b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

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

// Document layout: the root element's first <library_geometries>, its first <geometry>, that
// one's first <mesh>. The mesh's first three child elements are the position, normal and
// texture-coordinate sources, each read from its first <float_array>; its first <polylist>
// gives the triangle count and, in its first <p>, corners of (vertex, normal, texcoord).
// Every vertex starts with its own position from the array (so extents include vertices no
// corner names), zero normal and zero texture coordinate; a corner then writes its vertex's
// position, normal and texture coordinate, the last corner naming a vertex winning.
bool readColladaMesh(char* text, Mesh& mesh) {
    mesh = emptyMesh();
    if (text == nullptr) {
        return false;
    }
    rapidxml::xml_document<> document;
    try {
        document.parse<0>(text);
    } catch (const rapidxml::parse_error&) {
        return false;
    }
    XmlNode* geometry = firstElement(firstElement(firstElement(&document), "library_geometries"), "geometry");
    XmlNode* meshElement = firstElement(geometry, "mesh");
    XmlNode* positionSource = firstElement(meshElement);
    XmlNode* normalSource = nextElement(positionSource);
    XmlNode* texcoordSource = nextElement(normalSource);
    XmlNode* polylist = firstElement(meshElement, "polylist");
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> texcoords;
    std::vector<Corner> corners;
    if (texcoordSource == nullptr || polylist == nullptr || !readFloatArray(positionSource, positions) ||
        !readFloatArray(normalSource, normals) || !readFloatArray(texcoordSource, texcoords) ||
        !readCorners(polylist, positions.size() / 3, normals.size() / 3, texcoords.size() / 2, corners)) {
        return false;
    }

    Mesh result = emptyMesh();
    result.vertexCount = static_cast<int32_t>(positions.size() / 3);
    result.triangleCount = static_cast<int32_t>(corners.size() / 3);
    result.vertices = new float[static_cast<size_t>(result.vertexCount) * floatsPerVertex];
    result.indices = new int32_t[corners.size()];
    for (int32_t i = 0; i < result.vertexCount; ++i) {
        float* vertex = result.vertices + static_cast<size_t>(i) * floatsPerVertex;
        const float* position = &positions[3 * static_cast<size_t>(i)];
        const float start[floatsPerVertex] = {position[0], position[2], -position[1], 0.0f,
                                              0.0f,        0.0f,        0.0f,         0.0f};
        std::memcpy(vertex, start, sizeof start);
    }
    for (size_t k = 0; k < corners.size(); ++k) {
        const Corner& corner = corners[k];
        result.indices[k] = static_cast<int32_t>(corner.vertex);
        float* vertex = result.vertices + corner.vertex * floatsPerVertex;
        const float* position = &positions[3 * corner.vertex];
        const float* normal = &normals[3 * corner.normal];
        const float* texcoord = &texcoords[2 * corner.texcoord];
        const float written[floatsPerVertex] = {position[0], position[2], -position[1], normal[0],
                                                normal[1],   normal[2],   texcoord[0],  texcoord[1]};
        std::memcpy(vertex, written, sizeof written);
    }
    smoothVertexNormals(result);
    computeExtent(result);
    mesh = result;
    return true;
}

void smoothVertexNormals(Mesh& mesh) {
    std::vector<int32_t> uses(static_cast<size_t>(mesh.vertexCount), 0);
    for (int32_t i = 0; i < mesh.vertexCount; ++i) {
        float* normal = mesh.vertices + static_cast<size_t>(i) * mesh.stride + 3;
        normal[0] = normal[1] = normal[2] = 0.0f;
    }
    // Summing in triangle order per vertex gives the same floats as walking a per-vertex list
    // of its triangles.
    for (int32_t j = 0; j < mesh.triangleCount; ++j) {
        const int32_t* corner = mesh.indices + 3 * static_cast<size_t>(j);
        const Vec3 p0 = positionOf(mesh, corner[0]);
        const Vec3 p1 = positionOf(mesh, corner[1]);
        const Vec3 p2 = positionOf(mesh, corner[2]);
        Vec3 face = cross(difference(p1, p2), difference(p1, p0));
        normalize(face);
        for (int c = 0; c < 3; ++c) {
            float* normal = mesh.vertices + static_cast<size_t>(corner[c]) * mesh.stride + 3;
            normal[0] += face.x;
            normal[1] += face.y;
            normal[2] += face.z;
            ++uses[corner[c]];
        }
    }
    for (int32_t i = 0; i < mesh.vertexCount; ++i) {
        float* normal = mesh.vertices + static_cast<size_t>(i) * mesh.stride + 3;
        Vec3 sum{normal[0], normal[1], normal[2]};
        if (uses[i] != 0) {
            const float count = static_cast<float>(uses[i]);
            sum = Vec3{sum.x / count, sum.y / count, sum.z / count};
        }
        normalize(sum);
        normal[0] = sum.x;
        normal[1] = sum.y;
        normal[2] = sum.z;
    }
}

void computeVertexNormals(Mesh& mesh) {
    smoothVertexNormals(mesh);
    if (mesh.vertexBuffer != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
        bufferVertices(mesh);
    }
}

Mesh& loadMesh(Mesh& mesh, const char* fileName) {
    mesh = emptyMesh();
    std::vector<char> text;
    const bool read =
        fileName != nullptr && std::strstr(fileName, ".dae") != nullptr && readWholeFile(fileName, "r", text);
    text.push_back('\0');
    if (!read || !readColladaMesh(text.data(), mesh)) {
        std::printf("error: mesh %s loaded incorrectly!\n", fileName == nullptr ? "" : fileName);
        return mesh;
    }
    uploadMesh(mesh);
    return mesh;
}
