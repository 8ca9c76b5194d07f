#include "tests/tools/generated_data.h"

#include <SOIL/SOIL.h>
#include <rapidxml/rapidxml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace vt {

double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

const std::vector<vgen::GeneratedFile>& allFiles() {
    static const std::vector<vgen::GeneratedFile> files = vgen::generateAll();
    return files;
}

const std::vector<std::uint8_t>& fileBytes(const std::string& path) {
    for (const auto& f : allFiles())
        if (f.path == path)
            return f.bytes;
    throw std::runtime_error("not generated: " + path);
}

DaeMesh readMesh(const std::string& name) { return readDae(fileBytes("Meshes/" + name + ".dae")); }

V3 faceNormal(const DaeMesh& m, std::size_t tri) {
    const auto& t = m.triangles[tri];
    const V3 a = m.positions[t[0]], b = m.positions[t[1]], c = m.positions[t[2]];
    const V3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

double Pixels::mean(int c) const {
    double s = 0;
    for (std::size_t i = c; i < rgb.size(); i += 3)
        s += rgb[i];
    return s / (rgb.size() / 3);
}

double Pixels::diff(int a, int b, bool cols) const {
    double s = 0;
    for (int t = 0; t < (cols ? h : w); ++t)
        for (int c = 0; c < 3; ++c)
            s += std::abs((cols ? at(a, t) : at(t, a))[c] - (cols ? at(b, t) : at(t, b))[c]);
    return s / (cols ? h : w);
}

Pixels loadPixels(const std::vector<std::uint8_t>& bytes, int force) {
    Pixels p;
    unsigned char* d =
        SOIL_load_image_from_memory(bytes.data(), int(bytes.size()), &p.w, &p.h, &p.channels, force);
    if (d)
        p.rgb.assign(d, d + static_cast<std::size_t>(p.w) * p.h * 3);
    SOIL_free_image_data(d);
    return p;
}

Pixels loadTexture(const std::string& name) {
    return loadPixels(fileBytes("Textures/" + name), SOIL_LOAD_RGB);
}

namespace {

using Node = const rapidxml::xml_node<>*;

std::string attr(Node n, const char* name) {
    const auto* a = n ? n->first_attribute(name) : nullptr;
    return a ? a->value() : "";
}
Node child(Node n, const char* name) { return n ? n->first_node(name) : nullptr; }

// Element children, and their names joined with spaces.
std::vector<Node> kids(Node n, std::string& names) {
    std::vector<Node> out;
    for (Node c = n ? n->first_node() : nullptr; c; c = c->next_sibling())
        if (c->type() == rapidxml::node_element)
            out.push_back(c), names += std::string(c->name()) + " ";
    return out;
}

// Numbers separated by exactly one space and nothing else.
std::vector<double> numbers(Node n, std::vector<std::string>& errors) {
    std::vector<double> out;
    const std::string text = n ? n->value() : "";
    for (std::size_t pos = 0; pos <= text.size();) {
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        const std::string tok = text.substr(pos, end - pos);
        char* stop = nullptr;
        out.push_back(std::strtod(tok.c_str(), &stop));
        if (tok.empty() || *stop || tok.find_first_of("\t\r\n") != std::string::npos) {
            errors.push_back("bad number '" + tok + "'");
            return {};
        }
        pos = end + 1;
    }
    return out;
}

// A <source> holding exactly one float_array, described by its accessor.
std::vector<double> source(Node s, std::size_t stride, std::vector<std::string>& errors) {
    std::string names, params;
    const Node fa = kids(s, names).front(), acc = child(child(s, "technique_common"), "accessor");
    kids(acc, params);
    const auto values = numbers(fa, errors);
    if (names != "float_array technique_common " || attr(fa, "count") != std::to_string(values.size()) ||
        attr(acc, "stride") != std::to_string(stride) || attr(acc, "source") != "#" + attr(fa, "id") ||
        std::strtoul(attr(acc, "count").c_str(), nullptr, 10) * stride != values.size() ||
        params.size() != stride * 6) // "param " per component
        errors.push_back("source " + attr(s, "id") + " is not one float_array with a matching accessor");
    return values;
}

} // namespace

DaeMesh readDae(const std::vector<std::uint8_t>& bytes) {
    DaeMesh m;
    auto& err = m.errors;
    std::vector<char> buf(bytes.begin(), bytes.end());
    buf.push_back('\0');
    rapidxml::xml_document<> doc;
    try {
        doc.parse<0>(buf.data());
    } catch (const rapidxml::parse_error& e) {
        err.push_back(std::string("not XML: ") + e.what());
        return m;
    }
    const Node root = doc.first_node("COLLADA"), up = child(child(root, "asset"), "up_axis");
    if (attr(root, "xmlns") != "http://www.collada.org/2005/11/COLLADASchema" ||
        attr(root, "version") != "1.4.1" || !child(child(root, "asset"), "unit") || !up ||
        std::string(up->value()) != "Z_UP")
        return err.push_back("not a COLLADA 1.4.1 document with unit and Z_UP"), m;

    const Node geo = child(child(root, "library_geometries"), "geometry");
    std::string order, inputs;
    const auto k = kids(child(geo, "mesh"), order);
    if (attr(geo, "id").empty() || attr(geo, "name").empty() ||
        order != "source source source vertices polylist ")
        return err.push_back("mesh children are '" + order + "'"), m;
    const auto pos = source(k[0], 3, err), nrm = source(k[1], 3, err);
    m.texcoords = source(k[2], 2, err);
    for (std::size_t i = 0; i + 2 < pos.size(); i += 3)
        m.positions.push_back({pos[i], pos[i + 2], -pos[i + 1]});
    if (attr(child(k[3], "input"), "semantic") != "POSITION" ||
        attr(child(k[3], "input"), "source") != "#" + attr(k[0], "id"))
        err.push_back("vertices must take POSITION from the first source");

    std::string parts;
    for (Node c : kids(k[4], parts))
        inputs += attr(c, "semantic") + attr(c, "offset") + attr(c, "set") + attr(c, "source") + " ";
    if (inputs != "VERTEX0#" + attr(k[3], "id") + " NORMAL1#" + attr(k[1], "id") + " TEXCOORD20#" +
                      attr(k[2], "id") + "   " ||
        parts != "input input input vcount p ")
        err.push_back("polylist inputs are '" + inputs + "'");
    m.polylistCount = std::strtoul(attr(k[4], "count").c_str(), nullptr, 10);
    const auto vcount = numbers(child(k[4], "vcount"), err), p = numbers(child(k[4], "p"), err);
    if (vcount.size() != m.polylistCount || p.size() != 9 * m.polylistCount ||
        std::count(vcount.begin(), vcount.end(), 3.0) != static_cast<long>(vcount.size()))
        err.push_back("polylist count, vcount and p disagree");
    const std::size_t limit[3] = {pos.size() / 3, nrm.size() / 3, m.texcoords.size() / 2};
    for (std::size_t i = 0; i < p.size(); ++i)
        if (p[i] < 0 || p[i] >= limit[i % 3] || p[i] != std::floor(p[i]))
            return err.push_back("index " + std::to_string(i) + " out of range"), m;
    m.vertexTexcoords.assign(2 * m.positions.size(), 0.0);
    for (std::size_t i = 0; i + 2 < p.size(); i += 3)
        for (int c = 0; c < 2; ++c)
            m.vertexTexcoords[2 * static_cast<std::size_t>(p[i]) + c] =
                m.texcoords[2 * static_cast<std::size_t>(p[i + 2]) + c];
    for (std::size_t i = 0; i + 8 < p.size(); i += 9)
        m.triangles.push_back({static_cast<std::uint32_t>(p[i]), static_cast<std::uint32_t>(p[i + 3]),
                               static_cast<std::uint32_t>(p[i + 6])});

    const Node scene = child(child(root, "library_visual_scenes"), "visual_scene");
    if (attr(child(child(scene, "node"), "instance_geometry"), "url") != "#" + attr(geo, "id") ||
        attr(child(child(root, "scene"), "instance_visual_scene"), "url") != "#" + attr(scene, "id"))
        err.push_back("scene must instance the geometry through a node");
    return m;
}

} // namespace vt
