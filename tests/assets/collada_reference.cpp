#include "tests/assets/collada_reference.h"

#include "core/vec_math.h"

#include <rapidxml/rapidxml.hpp>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

using namespace valley;

namespace {

using Node = rapidxml::xml_node<>;

Node* childElement(Node* parent, const char* name = nullptr) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (Node* node = parent->first_node(name); node != nullptr; node = node->next_sibling(name)) {
        if (node->type() == rapidxml::node_element) {
            return node;
        }
    }
    return nullptr;
}

Node* siblingElement(Node* node) {
    for (Node* next = node == nullptr ? nullptr : node->next_sibling(); next != nullptr;
         next = next->next_sibling()) {
        if (next->type() == rapidxml::node_element) {
            return next;
        }
    }
    return nullptr;
}

// The "count" attribute as atoi reads it; refused when missing, negative or beyond 2^26.
bool countOf(Node* element, long& count) {
    rapidxml::xml_attribute<>* attribute = element == nullptr ? nullptr : element->first_attribute("count");
    if (attribute == nullptr) {
        return false;
    }
    count = std::strtol(attribute->value(), nullptr, 10);
    return count >= 0 && count <= (1L << 26);
}

// The first `count` tokens strtok(text, " ") cuts from a copy of the element's text, each
// handed to take(token); false when the text runs out first or take refuses a token.
template <class Take> bool firstTokens(Node* element, long count, Take take) {
    std::vector<char> text(element->value(), element->value() + std::strlen(element->value()) + 1);
    char* token = std::strtok(text.data(), " ");
    for (long i = 0; i < count; ++i, token = std::strtok(nullptr, " ")) {
        if (token == nullptr || !take(token)) {
            return false;
        }
    }
    return true;
}

// The source's first <float_array>: its first `count` tokens read with atof.
bool referenceFloats(Node* source, std::vector<float>& values) {
    Node* array = childElement(source, "float_array");
    long count = 0;
    return array != nullptr && countOf(array, count) &&
           firstTokens(array, count, [&values](const char* token) {
               values.push_back(static_cast<float>(std::atof(token)));
               return true;
           });
}

// The polylist's 9 x count numbers read with atoi, refusing those atoi cannot hold.
bool referenceCorners(Node* polylist, std::vector<int>& numbers) {
    Node* p = childElement(polylist, "p");
    long triangles = 0;
    return p != nullptr && countOf(polylist, triangles) &&
           firstTokens(p, 9 * triangles, [&numbers](const char* token) {
               const long wide = std::strtol(token, nullptr, 10);
               if (wide < INT_MIN || wide > INT_MAX) {
                   return false;
               }
               numbers.push_back(std::atoi(token));
               return true;
           });
}

Vec3 referencePosition(const ReadMesh& mesh, int vertex) {
    const float* v = &mesh.vertices[8 * static_cast<size_t>(vertex)];
    return Vec3{v[0], v[1], v[2]};
}

// The unit normal of triangle j: (p1 - p2) x (p1 - p0), normalised.
Vec3 faceNormal(const ReadMesh& mesh, int j) {
    const Vec3 p0 = referencePosition(mesh, mesh.indices[3 * j]);
    const Vec3 p1 = referencePosition(mesh, mesh.indices[3 * j + 1]);
    const Vec3 p2 = referencePosition(mesh, mesh.indices[3 * j + 2]);
    const Vec3 a{p1.x - p2.x, p1.y - p2.y, p1.z - p2.z};
    const Vec3 b{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
    Vec3 face{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    normalize(face);
    return face;
}

} // namespace

ReadMesh referenceReadCollada(std::string text) {
    ReadMesh mesh;
    rapidxml::xml_document<> document;
    try {
        document.parse<0>(text.data());
    } catch (const rapidxml::parse_error&) {
        return mesh;
    }
    Node* meshElement = childElement(
        childElement(childElement(childElement(&document), "library_geometries"), "geometry"), "mesh");
    Node* positionSource = childElement(meshElement);
    Node* normalSource = siblingElement(positionSource);
    Node* texcoordSource = siblingElement(normalSource);
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> texcoords;
    std::vector<int> corners;
    if (texcoordSource == nullptr || !referenceFloats(positionSource, positions) ||
        !referenceFloats(normalSource, normals) || !referenceFloats(texcoordSource, texcoords) ||
        !referenceCorners(childElement(meshElement, "polylist"), corners)) {
        return mesh;
    }
    const int vertexCount = static_cast<int>(positions.size() / 3);
    for (size_t k = 0; k < corners.size(); k += 3) {
        if (corners[k] < 0 || corners[k] >= vertexCount || corners[k + 1] < 0 ||
            corners[k + 1] >= static_cast<int>(normals.size() / 3) || corners[k + 2] < 0 ||
            corners[k + 2] >= static_cast<int>(texcoords.size() / 2)) {
            return mesh;
        }
    }

    mesh.vertexCount = vertexCount;
    mesh.triangleCount = static_cast<int32_t>(corners.size() / 9);
    for (int i = 0; i < vertexCount; ++i) {
        const float* p = &positions[3 * static_cast<size_t>(i)];
        mesh.vertices.insert(mesh.vertices.end(), {p[0], p[2], -p[1], 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    }
    for (size_t k = 0; k < corners.size(); k += 3) {
        const int v = corners[k];
        const float* p = &positions[3 * static_cast<size_t>(v)];
        const float* n = &normals[3 * static_cast<size_t>(corners[k + 1])];
        const float* t = &texcoords[2 * static_cast<size_t>(corners[k + 2])];
        const float written[8] = {p[0], p[2], -p[1], n[0], n[1], n[2], t[0], t[1]};
        std::copy(written, written + 8, &mesh.vertices[8 * static_cast<size_t>(v)]);
        mesh.indices.push_back(v);
    }

    // Smooth normals: each vertex walks the triangles naming it, once per naming corner.
    std::vector<std::vector<int>> trianglesOf(static_cast<size_t>(vertexCount));
    for (int j = 0; j < mesh.triangleCount; ++j) {
        for (int c = 0; c < 3; ++c) {
            trianglesOf[static_cast<size_t>(mesh.indices[3 * j + c])].push_back(j);
        }
    }
    for (int i = 0; i < vertexCount; ++i) {
        Vec3 sum{0.0f, 0.0f, 0.0f};
        for (int j : trianglesOf[static_cast<size_t>(i)]) {
            const Vec3 face = faceNormal(mesh, j);
            sum = Vec3{sum.x + face.x, sum.y + face.y, sum.z + face.z};
        }
        if (!trianglesOf[static_cast<size_t>(i)].empty()) {
            const float count = static_cast<float>(trianglesOf[static_cast<size_t>(i)].size());
            sum = Vec3{sum.x / count, sum.y / count, sum.z / count};
        }
        normalize(sum);
        float* normal = &mesh.vertices[8 * static_cast<size_t>(i) + 3];
        normal[0] = sum.x;
        normal[1] = sum.y;
        normal[2] = sum.z;
    }

    for (int axis = 0; axis < 3; ++axis) {
        float lowest = 3.4028235e38f;
        float highest = -3.4028235e38f;
        for (int i = 0; i < vertexCount; ++i) {
            lowest = std::min(lowest, mesh.vertices[8 * static_cast<size_t>(i) + axis]);
            highest = std::max(highest, mesh.vertices[8 * static_cast<size_t>(i) + axis]);
        }
        mesh.extent[axis] = std::max(highest, -lowest);
    }
    mesh.read = true;
    return mesh;
}
