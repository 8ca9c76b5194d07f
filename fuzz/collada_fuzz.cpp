// The COLLADA reader on arbitrary text. It parses in place, so each input is copied into a
// buffer of exactly its size plus the terminating zero: a read or write past the text is caught.
// The bounds its pre-scan checks are checked against what RapidXML then builds, with small
// bounds so that a miscount shows on short inputs.
#include "assets/collada_reader.h"
#include "assets/xml_bounds.h"
#include "fuzz/fuzz_check.h"

#include <rapidxml/rapidxml.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace valley;

namespace {

// The deepest level of elements RapidXML made, and every node and attribute, counted without
// recursion.
XmlBounds built(const rapidxml::xml_document<>& document) {
    XmlBounds found = {0, 0};
    int depth = 0;
    const rapidxml::xml_node<>* node = document.first_node();
    while (node != nullptr) {
        ++found.parts;
        for (const rapidxml::xml_attribute<>* a = node->first_attribute(); a != nullptr;
             a = a->next_attribute()) {
            ++found.parts;
        }
        if (node->type() == rapidxml::node_element && ++depth > found.depth) {
            found.depth = depth;
        }
        if (node->type() == rapidxml::node_element && node->first_node() != nullptr) {
            node = node->first_node();
            continue;
        }
        depth -= node->type() == rapidxml::node_element ? 1 : 0;
        while (node != nullptr && node->next_sibling() == nullptr) {
            node = node->parent() == &document ? nullptr : node->parent();
            depth -= node != nullptr ? 1 : 0;
        }
        node = node != nullptr ? node->next_sibling() : nullptr;
    }
    return found;
}

void checkBounds(const std::vector<char>& text) {
    const XmlBounds limit = {4, 64};
    if (!xmlWithin(text.data(), limit)) {
        return;
    }
    std::vector<char> copy = text;
    rapidxml::xml_document<> document;
    try {
        document.parse<0>(copy.data());
    } catch (const rapidxml::parse_error&) {
        return;
    }
    const XmlBounds found = built(document);
    require(found.depth <= limit.depth, "an accepted document nests no deeper than the bound");
    require(found.parts <= limit.parts, "an accepted document makes no more parts than the bound");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text(size + 1);
    if (size != 0) {
        std::memcpy(text.data(), data, size);
    }
    text[size] = '\0';
    checkBounds(text);

    Mesh mesh;
    const bool read = !readColladaMesh(text.data(), mesh);
    require(mesh.stride == 8, "8 floats per vertex");
    require(mesh.vertexBuffer == 0 && mesh.indexBuffer == 0, "no buffer objects without OpenGL");
    if (!read) {
        require(mesh.vertexCount == 0 && mesh.triangleCount == 0 && mesh.vertices == nullptr &&
                    mesh.indices == nullptr,
                "a refused document leaves an empty mesh");
        return 0;
    }
    require(mesh.vertexCount >= 0 && mesh.triangleCount >= 0, "counts are not negative");
    for (size_t k = 0; k < 3 * static_cast<size_t>(mesh.triangleCount); ++k) {
        require(mesh.indices[k] >= 0 && mesh.indices[k] < mesh.vertexCount, "indices name vertices");
    }
    // Touch every float the mesh claims to hold: the array must be as long as its count.
    float sum = 0.0f;
    for (size_t i = 0; i < static_cast<size_t>(mesh.vertexCount) * 8; ++i) {
        sum += mesh.vertices[i];
    }
    static_cast<void>(sum);
    delete[] mesh.vertices;
    delete[] mesh.indices;
    return 0;
}
