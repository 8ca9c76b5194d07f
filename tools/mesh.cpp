#include "tools/mesh.h"

#include <cmath>
#include <cstdio>

namespace vgen {

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }

Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 normalize(Vec3 a) {
    const double len = std::sqrt(dot(a, a));
    return len > 0.0 ? a * (1.0 / len) : a;
}

Vec3 engineToFile(Vec3 e) { return {e.x, -e.z, e.y}; }
Vec3 fileToEngine(Vec3 f) { return {f.x, f.z, -f.y}; }

std::string formatNumber(double v) {
    if (v == 0.0)
        v = 0.0; // folds -0 into 0
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g", v);
    return buf;
}

namespace {

// Appends numbers separated by single spaces.
class NumberList {
public:
    void add(double v) {
        sep();
        text_ += formatNumber(v);
    }
    void add(std::uint32_t v) {
        sep();
        text_ += std::to_string(v);
    }
    const std::string& str() const { return text_; }

private:
    void sep() {
        if (!text_.empty())
            text_ += ' ';
    }
    std::string text_;
};

void writeSource(std::string& out, const std::string& id, const NumberList& values, std::size_t count,
                 const char* const* params, int stride) {
    const std::size_t floats = count * static_cast<std::size_t>(stride);
    out += "        <source id=\"" + id + "\">\n";
    out += "          <float_array id=\"" + id + "-array\" count=\"" + std::to_string(floats) + "\">";
    out += values.str();
    out += "</float_array>\n";
    out += "          <technique_common>\n";
    out += "            <accessor source=\"#" + id + "-array\" count=\"" + std::to_string(count) +
           "\" stride=\"" + std::to_string(stride) + "\">\n";
    for (int i = 0; i < stride; ++i)
        out += std::string("              <param name=\"") + params[i] + "\" type=\"float\"/>\n";
    out += "            </accessor>\n";
    out += "          </technique_common>\n";
    out += "        </source>\n";
}

} // namespace

std::string writeCollada(const Mesh& mesh) {
    const std::string geo = mesh.name + "-mesh";
    NumberList pos, nrm, uv, vcount, p;
    for (const Vec3& v : mesh.positions) {
        const Vec3 f = engineToFile(v);
        pos.add(f.x), pos.add(f.y), pos.add(f.z);
    }
    for (const Vec3& v : mesh.normals) {
        const Vec3 f = engineToFile(v);
        nrm.add(f.x), nrm.add(f.y), nrm.add(f.z);
    }
    for (const Vec2& t : mesh.texcoords)
        uv.add(t.x), uv.add(t.y);
    for (const Triangle& tri : mesh.triangles) {
        vcount.add(std::uint32_t{3});
        for (const Corner& c : tri)
            p.add(c.p), p.add(c.n), p.add(c.t);
    }

    static const char* const xyz[] = {"X", "Y", "Z"};
    static const char* const st[] = {"S", "T"};

    std::string out;
    out.reserve(pos.str().size() * 3 + p.str().size() + 4096);
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    out += "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n";
    out += "  <asset>\n";
    out += "    <contributor>\n      <authoring_tool>valley_assets</authoring_tool>\n    </contributor>\n";
    // Fixed dates keep the output byte-identical between runs.
    out += "    <created>2024-01-01T00:00:00Z</created>\n";
    out += "    <modified>2024-01-01T00:00:00Z</modified>\n";
    out += "    <unit name=\"meter\" meter=\"1\"/>\n";
    out += "    <up_axis>Z_UP</up_axis>\n";
    out += "  </asset>\n";
    out += "  <library_geometries>\n";
    out += "    <geometry id=\"" + geo + "\" name=\"" + mesh.name + "\">\n";
    out += "      <mesh>\n";
    writeSource(out, geo + "-positions", pos, mesh.positions.size(), xyz, 3);
    writeSource(out, geo + "-normals", nrm, mesh.normals.size(), xyz, 3);
    writeSource(out, geo + "-texcoords", uv, mesh.texcoords.size(), st, 2);
    out += "        <vertices id=\"" + geo + "-vertices\">\n";
    out += "          <input semantic=\"POSITION\" source=\"#" + geo + "-positions\"/>\n";
    out += "        </vertices>\n";
    out += "        <polylist count=\"" + std::to_string(mesh.triangles.size()) + "\">\n";
    out += "          <input semantic=\"VERTEX\" source=\"#" + geo + "-vertices\" offset=\"0\"/>\n";
    out += "          <input semantic=\"NORMAL\" source=\"#" + geo + "-normals\" offset=\"1\"/>\n";
    out +=
        "          <input semantic=\"TEXCOORD\" source=\"#" + geo + "-texcoords\" offset=\"2\" set=\"0\"/>\n";
    out += "          <vcount>" + vcount.str() + "</vcount>\n";
    out += "          <p>" + p.str() + "</p>\n";
    out += "        </polylist>\n";
    out += "      </mesh>\n";
    out += "    </geometry>\n";
    out += "  </library_geometries>\n";
    out += "  <library_visual_scenes>\n";
    out += "    <visual_scene id=\"Scene\" name=\"Scene\">\n";
    out += "      <node id=\"" + mesh.name + "\" name=\"" + mesh.name + "\" type=\"NODE\">\n";
    out += "        <instance_geometry url=\"#" + geo + "\" name=\"" + mesh.name + "\"/>\n";
    out += "      </node>\n";
    out += "    </visual_scene>\n";
    out += "  </library_visual_scenes>\n";
    out += "  <scene>\n    <instance_visual_scene url=\"#Scene\"/>\n  </scene>\n";
    out += "</COLLADA>\n";
    return out;
}

Mesh buildGridMesh(const std::string& name, int side, double halfWidth,
                   const std::function<double(double, double)>& height, double uvPerCell) {
    Mesh m;
    m.name = name;
    const int n = side - 1;
    const double step = 2.0 * halfWidth / n;
    // Edge coordinates come out as exactly +-halfWidth.
    auto coord = [&](int i) { return halfWidth * (2.0 * i / n - 1.0); };

    std::vector<double> h(static_cast<std::size_t>(side) * side);
    for (int k = 0; k < side; ++k)
        for (int i = 0; i < side; ++i)
            h[static_cast<std::size_t>(i + side * k)] = height(coord(i), coord(k));
    auto at = [&](int i, int k) {
        i = i < 0 ? 0 : (i > n ? n : i);
        k = k < 0 ? 0 : (k > n ? n : k);
        return h[static_cast<std::size_t>(i + side * k)];
    };

    for (int k = 0; k < side; ++k) {
        for (int i = 0; i < side; ++i) {
            m.positions.push_back({coord(i), at(i, k), coord(k)});
            // Central differences (one-sided on the border).
            const double dx = (at(i + 1, k) - at(i - 1, k)) / (((i < n) + (i > 0)) * step);
            const double dz = (at(i, k + 1) - at(i, k - 1)) / (((k < n) + (k > 0)) * step);
            m.normals.push_back(normalize({-dx, 1.0, -dz}));
            m.texcoords.push_back({i * uvPerCell, k * uvPerCell});
        }
    }

    // Cell (i, k): a = (i, k), b = (i + 1, k), c = (i, k + 1), d = (i + 1, k + 1).
    // a-c-b and b-c-d are counter-clockwise seen from +y.
    auto corner = [&](int i, int k) {
        const auto idx = static_cast<std::uint32_t>(i + side * k);
        return Corner{idx, idx, idx};
    };
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < n; ++i) {
            const Corner a = corner(i, k), b = corner(i + 1, k);
            const Corner c = corner(i, k + 1), d = corner(i + 1, k + 1);
            m.triangles.push_back({a, c, b});
            m.triangles.push_back({b, c, d});
        }
    }
    return m;
}

namespace {

// Adds a unit square face centred at `centre` whose front side faces along
// `facing`: corners centre -u -v, +u -v, +u +v, -u +v with u x v = facing,
// which makes them counter-clockwise seen from the front.
void addFace(Mesh& m, Vec3 centre, Vec3 facing, Vec3 up, const std::array<Vec2, 4>& uv) {
    const Vec3 u = cross(up, facing);
    const auto base = static_cast<std::uint32_t>(m.positions.size());
    const auto nIdx = static_cast<std::uint32_t>(m.normals.size());
    m.normals.push_back(facing);
    const Vec3 offs[4] = {u * -1.0 - up, u - up, u + up, up - u};
    for (int i = 0; i < 4; ++i) {
        m.positions.push_back(centre + offs[i]);
        m.texcoords.push_back(uv[static_cast<std::size_t>(i)]);
    }
    auto c = [&](std::uint32_t i) { return Corner{base + i, nIdx, base + i}; };
    m.triangles.push_back({c(0), c(1), c(2)});
    m.triangles.push_back({c(0), c(2), c(3)});
}

const Vec3 faceAxes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};

Vec3 upFor(Vec3 facing) {
    // Side faces keep y up; top and bottom use the -z / +z edge as up.
    if (facing.y > 0.5)
        return {0, 0, -1};
    if (facing.y < -0.5)
        return {0, 0, 1};
    return {0, 1, 0};
}

} // namespace

Mesh buildCube(const std::string& name) {
    Mesh m;
    m.name = name;
    const std::array<Vec2, 4> uv = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    for (const Vec3& axis : faceAxes)
        addFace(m, axis, axis, upFor(axis), uv);
    return m;
}

Mesh buildSphere(const std::string& name, int slices, int stacks) {
    Mesh m;
    m.name = name;
    const double pi = 3.14159265358979323846;
    // Position 0 is the north pole, then rings 1..stacks-1, then the south pole.
    m.positions.push_back({0, 1, 0});
    for (int j = 1; j < stacks; ++j) {
        const double theta = pi * j / stacks;
        for (int i = 0; i < slices; ++i) {
            const double phi = 2.0 * pi * i / slices;
            const double r = std::sin(theta);
            m.positions.push_back({r * std::cos(phi), std::cos(theta), -r * std::sin(phi)});
        }
    }
    m.positions.push_back({0, -1, 0});
    m.normals = m.positions; // unit sphere: normal = position

    // Texcoords form a (slices + 1) x (stacks + 1) grid so the seam column
    // gets u = 1 rather than wrapping back to 0.
    for (int j = 0; j <= stacks; ++j)
        for (int i = 0; i <= slices; ++i) {
            double u = static_cast<double>(i) / slices;
            if (j == 0 || j == stacks)
                u = (i + 0.5) / slices; // pole corners sit mid-segment
            m.texcoords.push_back({u, 1.0 - static_cast<double>(j) / stacks});
        }

    const auto south = static_cast<std::uint32_t>(m.positions.size() - 1);
    auto ring = [&](int j, int i) -> std::uint32_t {
        if (j == 0)
            return 0;
        if (j == stacks)
            return south;
        return static_cast<std::uint32_t>(1 + (j - 1) * slices + (i % slices));
    };
    auto corner = [&](int j, int i) {
        const std::uint32_t p = ring(j, i);
        return Corner{p, p, static_cast<std::uint32_t>(j * (slices + 1) + i)};
    };
    // Quad between ring j (above) and j + 1: a = (j, i), b = (j, i + 1),
    // c = (j + 1, i), d = (j + 1, i + 1); a-c-b and b-c-d face outwards.
    for (int j = 0; j < stacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            const Corner a = corner(j, i), b = corner(j, i + 1);
            const Corner c = corner(j + 1, i), d = corner(j + 1, i + 1);
            if (j == 0) {
                // a and b are both the pole; a carries its mid-segment u.
                m.triangles.push_back({a, c, d});
            } else if (j + 1 == stacks) {
                m.triangles.push_back({a, c, b}); // c and d are the pole
            } else {
                m.triangles.push_back({a, c, b});
                m.triangles.push_back({b, c, d});
            }
        }
    }
    return m;
}

} // namespace vgen
