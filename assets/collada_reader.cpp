// COLLADA meshes: one geometry's positions, normals and texture coordinates and its polygon
// list read as triangles, the document walked with RapidXML. Units are the file's; the file is
// Z-up, the engine Y-up, so a file position (x, y, z) becomes (x, z, -y). Numbers are read as
// atof and atoi read them (assets/number_scan.h), from tokens split on single spaces only.

#include "assets/collada_reader.h"

#include "assets/file_kinds.h"
#include "assets/number_scan.h"
#include "assets/xml_bounds.h"
#include "platform/file_read.h"

#include <rapidxml/rapidxml.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace valley {

namespace {

using XmlNode = rapidxml::xml_node<>;

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

// COLLADA exports stay far below 100 levels of elements, and the valley's largest file holds a
// few dozen elements and attributes: a document past either bound is refused unparsed, before
// RapidXML runs the stack out or keeps a gigabyte of nodes.
constexpr XmlBounds colladaBounds = {256, 1000000};

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
int64_t tokensAtMost(XmlNode* element) { return static_cast<int64_t>(element->value_size() / 2 + 1); }

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

} // namespace

// Documents past colladaBounds (nested deeper than 256 levels of elements, or over a million
// tags and attributes) are refused unparsed.
// Document layout: the root element's first <library_geometries>, its first <geometry>, that
// one's first <mesh>. The mesh's first three child elements are the position, normal and
// texture-coordinate sources, each read from its first <float_array>; its first <polylist>
// gives the triangle count and, in its first <p>, corners of (vertex, normal, texcoord).
// Every vertex starts with its own position from the array (so extents include vertices no
// corner names), zero normal and zero texture coordinate; a corner then writes its vertex's
// position, normal and texture coordinate, the last corner naming a vertex winning.
Problem readColladaMesh(char* text, Mesh& mesh) {
    mesh = emptyMesh();
    if (text == nullptr) {
        return "no text";
    }
    if (!xmlWithin(text, colladaBounds)) {
        return "nested deeper than 256 elements or over a million tags and attributes";
    }
    rapidxml::xml_document<> document;
    try {
        document.parse<0>(text);
    } catch (const rapidxml::parse_error& error) {
        return std::string("not well-formed XML: ") + error.what();
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
        return "no geometry with three float arrays and a polygon list of sound counts";
    }

    // The file's normals are replaced by smooth ones: only their count matters.
    std::vector<float> texcoords(static_cast<size_t>(texcoordCount));
    Tokens texcoordTokens(texcoordArray->value());
    if (Tokens(normalArray->value()).countRest() < normalCount ||
        !readFloats(texcoordTokens, texcoordCount, texcoords.data())) {
        return "fewer normals or texture coordinates than their counts promise";
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
        return "fewer positions or corners than the counts promise, or a corner naming what is not there";
    }
    vertices.release();
    indices.release();
    smoothVertexNormals(result);
    computeExtent(result);
    mesh = result;
    return std::nullopt;
}

Problem readColladaFile(const char* fileName, Mesh& mesh) {
    mesh = emptyMesh();
    if (fileName == nullptr || !fileKindsOf(fileName).dae) {
        return "not a .dae name";
    }
    std::vector<uint8_t> text;
    if (Problem problem = readWholeFile(fileName, largestColladaFile, text)) {
        return problem;
    }
    text.push_back('\0');
    return readColladaMesh(reinterpret_cast<char*>(text.data()), mesh);
}

} // namespace valley
