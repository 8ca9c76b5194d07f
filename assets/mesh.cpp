// COLLADA meshes: one geometry's positions, normals and texture coordinates and its polygon
// list read as triangles. Units are the file's; the file is Z-up, the engine Y-up, so a file
// position (x, y, z) becomes (x, z, -y). Numbers are read as atof and atoi read them
// (assets/number_scan.h), from tokens split on single spaces only.

#include "assets/mesh.h"

#include "assets/number_scan.h"

#include <epoxy/gl.h>
#include <rapidxml/rapidxml.hpp>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace {

using XmlNode = rapidxml::xml_node<>;

constexpr int32_t floatsPerVertex = 8;
constexpr float largestFloat = 3.4028235e38f;

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

// COLLADA exports stay far below 100 levels of elements.
constexpr int largestNesting = 256;

// Just past the first `close` from `c`; the text's end when none comes.
const char* pastText(const char* c, const char* close) {
    const char* found = std::strstr(c, close);
    return found != nullptr ? found + std::strlen(close) : c + std::strlen(c);
}

// Just past the '>' ending a document type declaration, whose internal subset in brackets may
// hold '>' of its own.
const char* pastDoctype(const char* c) {
    int brackets = 0;
    for (; *c != '\0'; ++c) {
        if (*c == '[') {
            ++brackets;
        } else if (*c == ']' && brackets > 0) {
            --brackets;
        } else if (*c == '>' && brackets == 0) {
            return c + 1;
        }
    }
    return c;
}

// Whether no element of the document lies more than `limit` levels deep. RapidXML parses each
// level of elements in a recursive call, so a document nested tens of thousands deep (closed
// or not) would run the stack out: it is refused before parsing. Markup is followed as RapidXML
// reads it: comments, CDATA sections, declarations and processing instructions nest nothing,
// and quoted attribute values may hold '>'.
bool nestedAtMost(const char* text, int limit) {
    int depth = 0;
    for (const char* c = std::strchr(text, '<'); c != nullptr; c = std::strchr(c, '<')) {
        ++c;
        if (std::strncmp(c, "!--", 3) == 0) {
            c = pastText(c, "-->");
        } else if (std::strncmp(c, "![CDATA[", 8) == 0) {
            c = pastText(c, "]]>");
        } else if (std::strncmp(c, "!DOCTYPE", 8) == 0 && c[8] != '\0' &&
                   std::strchr(" \t\n\r", c[8]) != nullptr) {
            c = pastDoctype(c);
        } else if (*c == '!' || *c == '/') {
            depth -= *c == '/' && depth > 0 ? 1 : 0;
            c = pastText(c, ">");
        } else if (*c == '?') {
            c = pastText(c, "?>");
        } else {
            // A start tag, up to its '>' outside quotes; one ending in "/>" holds nothing.
            char quote = '\0';
            const char* tagEnd = c;
            for (; *tagEnd != '\0' && (quote != '\0' || *tagEnd != '>'); ++tagEnd) {
                if (quote == '\0' && (*tagEnd == '"' || *tagEnd == '\'')) {
                    quote = *tagEnd;
                } else if (*tagEnd == quote) {
                    quote = '\0';
                }
            }
            if (tagEnd[-1] != '/' && ++depth > limit) {
                return false;
            }
            c = *tagEnd == '\0' ? tagEnd : tagEnd + 1;
        }
    }
    return true;
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

// The source's first <float_array> and its count; none when either is missing or refused.
XmlNode* floatArray(XmlNode* source, int64_t& count) {
    XmlNode* array = firstElement(source, "float_array");
    return array != nullptr && readCount(array, tokensAtMost(array), count) ? array : nullptr;
}

// Positions are read this many vertices at a time, then put in place.
constexpr int64_t vertexBatch = 256;

// The vertex array from the positions, count / 3 of them (a partial vertex is read and dropped):
// each vertex starts with its own position turned Y-up, zero normal and texture coordinate.
bool readPositions(XmlNode* array, int64_t count, float* vertices) {
    Tokens tokens(array->value());
    float positions[3 * vertexBatch];
    for (int64_t first = 0; first < count / 3; first += vertexBatch) {
        const int64_t n = std::min(vertexBatch, count / 3 - first);
        if (!readFloats(tokens, 3 * n, positions)) {
            return false;
        }
        // Stored one by one: a copy from a small array built on the stack would load it back
        // in wider pieces than it was stored in, which stalls.
        for (int64_t i = 0; i < n; ++i) {
            const float* position = positions + 3 * i;
            float* vertex = vertices + (first + i) * floatsPerVertex;
            vertex[0] = position[0];
            vertex[1] = position[2];
            vertex[2] = -position[1];
            std::fill(vertex + 3, vertex + floatsPerVertex, 0.0f);
        }
    }
    return readFloats(tokens, count % 3, positions);
}

// The 3 x triangleCount corners of <p>, (vertex, normal, texcoord) each, checked against the
// arrays: the vertex numbers become the indices and each corner writes its texture coordinate
// into its vertex (its position there is the vertex's own already; normals are recomputed).
[[gnu::noinline]] bool readCorners(XmlNode* p, int64_t triangleCount, int64_t normalCount,
                                   const std::vector<float>& texcoords, Mesh& mesh) {
    const uint64_t limits[3] = {static_cast<uint64_t>(mesh.vertexCount), static_cast<uint64_t>(normalCount),
                                texcoords.size() / 2};
    return readIndexTriples(p->value(), 3 * triangleCount, limits,
                            [&mesh, &texcoords](int64_t k, uint64_t vertex, uint64_t, uint64_t texcoord) {
                                mesh.indices[k] = static_cast<int32_t>(vertex);
                                std::memcpy(mesh.vertices + vertex * floatsPerVertex + 6,
                                            &texcoords[2 * texcoord], 2 * sizeof(float));
                            });
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

float* normalOf(Mesh& mesh, int32_t vertex) {
    return mesh.vertices + static_cast<size_t>(vertex) * mesh.stride + 3;
}

#if defined(__SSE2__)
// normalize on four vectors at once, lane by lane the same operations: the same floats.
void normalize4(__m128& x, __m128& y, __m128& z) {
    const __m128 length =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)), _mm_mul_ps(z, z)));
    const __m128 zero = _mm_cmpeq_ps(length, _mm_setzero_ps());
    x = _mm_andnot_ps(zero, _mm_div_ps(x, length));
    y = _mm_andnot_ps(zero, _mm_div_ps(y, length));
    z = _mm_andnot_ps(zero, _mm_div_ps(z, length));
}

// The unit normals of four triangles, (p1 - p2) x (p1 - p0) normalised, lane t for triangle t:
// lane by lane what difference, cross and normalize do.
void faceNormals4(const Mesh& mesh, const int32_t* corners, float faces[3][4]) {
    // One axis of one corner of the four triangles, lane t for triangle t.
    auto gather = [&mesh, corners](int corner, int axis) {
        auto at = [&](int t) {
            return mesh.vertices[static_cast<size_t>(corners[3 * t + corner]) * mesh.stride + axis];
        };
        return _mm_set_ps(at(3), at(2), at(1), at(0));
    };
    const __m128 p1x = gather(1, 0);
    const __m128 p1y = gather(1, 1);
    const __m128 p1z = gather(1, 2);
    const __m128 ax = _mm_sub_ps(p1x, gather(2, 0));
    const __m128 ay = _mm_sub_ps(p1y, gather(2, 1));
    const __m128 az = _mm_sub_ps(p1z, gather(2, 2));
    const __m128 bx = _mm_sub_ps(p1x, gather(0, 0));
    const __m128 by = _mm_sub_ps(p1y, gather(0, 1));
    const __m128 bz = _mm_sub_ps(p1z, gather(0, 2));
    __m128 x = _mm_sub_ps(_mm_mul_ps(ay, bz), _mm_mul_ps(az, by));
    __m128 y = _mm_sub_ps(_mm_mul_ps(az, bx), _mm_mul_ps(ax, bz));
    __m128 z = _mm_sub_ps(_mm_mul_ps(ax, by), _mm_mul_ps(ay, bx));
    normalize4(x, y, z);
    _mm_storeu_ps(faces[0], x);
    _mm_storeu_ps(faces[1], y);
    _mm_storeu_ps(faces[2], z);
}

// Vertices first .. first + 3: each normal sum divided by its number of triangles (a vertex in
// none keeps its zero sum: dividing it by 1 leaves it), then normalised.
void meanNormals4(Mesh& mesh, int32_t first, const int32_t* uses) {
    auto gather = [&mesh, first](int axis) {
        auto at = [&](int t) { return normalOf(mesh, first + t)[axis]; };
        return _mm_set_ps(at(3), at(2), at(1), at(0));
    };
    auto countOf = [uses](int t) { return static_cast<float>(uses[t] != 0 ? uses[t] : 1); };
    const __m128 count = _mm_set_ps(countOf(3), countOf(2), countOf(1), countOf(0));
    __m128 x = _mm_div_ps(gather(0), count);
    __m128 y = _mm_div_ps(gather(1), count);
    __m128 z = _mm_div_ps(gather(2), count);
    normalize4(x, y, z);
    alignas(16) float units[3][4];
    _mm_store_ps(units[0], x);
    _mm_store_ps(units[1], y);
    _mm_store_ps(units[2], z);
    for (int t = 0; t < 4; ++t) {
        float* normal = normalOf(mesh, first + t);
        for (int axis = 0; axis < 3; ++axis) {
            normal[axis] = units[axis][t];
        }
    }
}
#endif

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

// Documents nested deeper than 256 levels of elements are refused unparsed.
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
    if (!nestedAtMost(text, largestNesting)) {
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
    XmlNode* p = firstElement(polylist, "p");
    int64_t positionCount = 0;
    int64_t normalCount = 0;
    int64_t texcoordCount = 0;
    int64_t triangleCount = 0;
    XmlNode* positionArray = floatArray(positionSource, positionCount);
    XmlNode* normalArray = floatArray(normalSource, normalCount);
    XmlNode* texcoordArray = floatArray(texcoordSource, texcoordCount);
    if (positionArray == nullptr || normalArray == nullptr || texcoordArray == nullptr || p == nullptr ||
        !readCount(polylist, tokensAtMost(p) / 9, triangleCount)) {
        return false;
    }

    // The file's normals are replaced by smooth ones: only their count matters.
    std::vector<float> texcoords(static_cast<size_t>(texcoordCount));
    Tokens texcoordTokens(texcoordArray->value());
    if (Tokens(normalArray->value()).countRest() < normalCount ||
        !readFloats(texcoordTokens, texcoordCount, texcoords.data())) {
        return false;
    }
    Mesh result = emptyMesh();
    result.vertexCount = static_cast<int32_t>(positionCount / 3);
    result.triangleCount = static_cast<int32_t>(triangleCount);
    std::unique_ptr<float[]> vertices(new float[static_cast<size_t>(result.vertexCount) * floatsPerVertex]);
    std::unique_ptr<int32_t[]> indices(new int32_t[3 * static_cast<size_t>(result.triangleCount)]);
    result.vertices = vertices.get();
    result.indices = indices.get();
    if (!readPositions(positionArray, positionCount, result.vertices) ||
        !readCorners(p, triangleCount, normalCount / 3, texcoords, result)) {
        return false;
    }
    vertices.release();
    indices.release();
    smoothVertexNormals(result);
    computeExtent(result);
    mesh = result;
    return true;
}

void smoothVertexNormals(Mesh& mesh) {
    std::vector<int32_t> uses(static_cast<size_t>(mesh.vertexCount), 0);
    for (int32_t i = 0; i < mesh.vertexCount; ++i) {
        float* normal = normalOf(mesh, i);
        normal[0] = normal[1] = normal[2] = 0.0f;
    }
    // Summing in triangle order per vertex gives the same floats as walking a per-vertex list
    // of its triangles. Face normals are worked out four at a time where the processor can.
    auto addFace = [&mesh, &uses](const int32_t* corner, float x, float y, float z) {
        for (int c = 0; c < 3; ++c) {
            float* normal = normalOf(mesh, corner[c]);
            normal[0] += x;
            normal[1] += y;
            normal[2] += z;
            ++uses[corner[c]];
        }
    };
    int32_t j = 0;
#if defined(__SSE2__)
    for (; j + 4 <= mesh.triangleCount; j += 4) {
        const int32_t* corners = mesh.indices + 3 * static_cast<size_t>(j);
        float faces[3][4];
        faceNormals4(mesh, corners, faces);
        for (int t = 0; t < 4; ++t) {
            addFace(corners + 3 * t, faces[0][t], faces[1][t], faces[2][t]);
        }
    }
#endif
    for (; j < mesh.triangleCount; ++j) {
        const int32_t* corner = mesh.indices + 3 * static_cast<size_t>(j);
        const Vec3 p0 = positionOf(mesh, corner[0]);
        const Vec3 p1 = positionOf(mesh, corner[1]);
        const Vec3 p2 = positionOf(mesh, corner[2]);
        Vec3 face = cross(difference(p1, p2), difference(p1, p0));
        normalize(face);
        addFace(corner, face.x, face.y, face.z);
    }
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= mesh.vertexCount; i += 4) {
        meanNormals4(mesh, i, uses.data() + i);
    }
#endif
    for (; i < mesh.vertexCount; ++i) {
        float* normal = normalOf(mesh, i);
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

bool readColladaFile(const char* fileName, Mesh& mesh) {
    mesh = emptyMesh();
    if (fileName == nullptr || std::strstr(fileName, ".dae") == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen(fileName, "r");
    if (file == nullptr) {
        return false;
    }
    // Read straight into one buffer the file's size and a byte more, so that the end shows as a
    // short read: for the terrain, copying through a growing buffer costs as much as parsing a
    // third of it. A file that turns out longer is read on into a buffer twice the size.
    std::error_code sizeUnknown;
    const std::uintmax_t size = std::filesystem::file_size(fileName, sizeUnknown);
    size_t capacity = sizeUnknown || size >= std::uintmax_t{1} << 32 ? 65536 : static_cast<size_t>(size) + 1;
    std::unique_ptr<char[]> text(new char[capacity]);
    size_t used = 0;
    while ((used += std::fread(text.get() + used, 1, capacity - used, file)) == capacity) {
        std::unique_ptr<char[]> larger(new char[2 * capacity]);
        std::memcpy(larger.get(), text.get(), used);
        text = std::move(larger);
        capacity *= 2;
    }
    std::fclose(file);
    text[used] = '\0';
    return readColladaMesh(text.get(), mesh);
}

Mesh& loadMesh(Mesh& mesh, const char* fileName) {
    if (!readColladaFile(fileName, mesh)) {
        std::printf("error: mesh %s loaded incorrectly!\n", fileName == nullptr ? "" : fileName);
        return mesh;
    }
    uploadMesh(mesh);
    return mesh;
}
