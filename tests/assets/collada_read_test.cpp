#include "assets/collada_reader.h"
#include "assets/mesh.h"
#include "tests/assets/asset_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/stat.h>

using namespace valley;

namespace {

const float* vertexOf(const Mesh& mesh, int i) { return mesh.vertices + 8 * i; }

Vec3 positionOf(const Mesh& mesh, int i) {
    const float* v = vertexOf(mesh, i);
    return Vec3{v[0], v[1], v[2]};
}

Vec3 normalOf(const Mesh& mesh, int i) {
    const float* v = vertexOf(mesh, i);
    return Vec3{v[3], v[4], v[5]};
}

void expectVec3(const Vec3& actual, float x, float y, float z, const char* what = "") {
    EXPECT_FLOAT_EQ(actual.x, x) << what;
    EXPECT_FLOAT_EQ(actual.y, y) << what;
    EXPECT_FLOAT_EQ(actual.z, z) << what;
}

// The default normals and texture coordinates with other positions and triangles; the counts
// follow the numbers given.
ColladaParts geometry(const std::string& positions, const std::string& corners) {
    auto tokens = [](const std::string& text) {
        std::istringstream words(text);
        std::string word;
        int count = 0;
        while (words >> word) {
            ++count;
        }
        return count;
    };
    ColladaParts parts;
    parts.positions = positions;
    parts.positionCount = std::to_string(tokens(positions));
    parts.corners = corners;
    parts.triangleCount = std::to_string(tokens(corners) / 9);
    return parts;
}

bool read(const ColladaParts& parts, HeldMesh& held) {
    std::string text = makeCollada(parts);
    return !readColladaMesh(text.data(), held.mesh);
}

void expectEmpty(const Mesh& mesh, const std::string& what) {
    EXPECT_EQ(mesh.vertexCount, 0) << what;
    EXPECT_EQ(mesh.triangleCount, 0) << what;
    EXPECT_EQ(mesh.stride, 8) << what;
    EXPECT_EQ(mesh.vertices, nullptr) << what;
    EXPECT_EQ(mesh.indices, nullptr) << what;
    EXPECT_EQ(mesh.vertexBuffer, 0u) << what;
    EXPECT_EQ(mesh.indexBuffer, 0u) << what;
    EXPECT_EQ(mesh.extent.x, 0.0f) << what;
    EXPECT_EQ(mesh.extent.y, 0.0f) << what;
    EXPECT_EQ(mesh.extent.z, 0.0f) << what;
}

// Reads a text into a mesh that starts out holding garbage; the text must be refused.
void expectRefused(std::string text, const std::string& what) {
    HeldMesh held;
    held.mesh = Mesh{5, 3, nullptr, 7, nullptr, 9, 9, Vec3{1.0f, 2.0f, 3.0f}};
    EXPECT_TRUE(readColladaMesh(text.data(), held.mesh)) << what;
    expectEmpty(held.mesh, what);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string repeated(const std::string& text, size_t times) {
    std::string result;
    result.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

// `markup` put into the square's document right after the root's start tag.
std::string squareWith(const std::string& markup) {
    return replaced(makeCollada(ColladaParts{}), "<COLLADA version=\"1.4.1\">",
                    "<COLLADA version=\"1.4.1\">" + markup);
}

// `levels` elements, each inside the one before, closed or not.
std::string nestedElements(size_t levels, bool closed) {
    return repeated("<a>", levels) + (closed ? repeated("</a>", levels) : "");
}

// A document of about 1 MB: the root and nested elements, closed or not.
std::string deepDocument(bool closed) {
    const size_t levels = (size_t{1} << 20) / (closed ? 7 : 3);
    return "<COLLADA>" + nestedElements(levels, closed) + (closed ? "</COLLADA>" : "");
}

} // namespace

TEST(ColladaRead, DocumentsNestedDeeperThan256ElementsOrOverAMillionPartsAreRefusedBeforeParsing) {
    const struct {
        const char* what;
        std::string text;
        bool read;
    } cases[] = {
        {"256 levels with the root", squareWith(nestedElements(255, true)), true},
        {"257 levels with the root", squareWith(nestedElements(256, true)), false},
        {"1 MB nested, closed", deepDocument(true), false},
        {"1 MB nested, unclosed", deepDocument(false), false},
        // Markup that nests nothing, 300 start tags within it.
        {"empty elements", squareWith(repeated("<a/><b x='1' />", 300)), true},
        {"a comment", squareWith("<!--" + nestedElements(300, false) + "-->"), true},
        {"a CDATA section", squareWith("<a><![CDATA[" + nestedElements(300, false) + "]]></a>"), true},
        {"an attribute value", squareWith("<a note='" + nestedElements(300, false) + "'/>"), true},
        {"a processing instruction", squareWith("<?note " + nestedElements(300, false) + "?>"), true},
        {"a document type's internal subset",
         "<!DOCTYPE COLLADA [" + nestedElements(300, false) + "]>" + makeCollada(ColladaParts{}), true},
        // Quotes outside an attribute value begin nothing: names may hold them.
        {"a quote in an element name", squareWith("<q'>" + nestedElements(300, true) + "</q'>"), false},
        {"a quote in an attribute name", squareWith("<q a'=''>" + nestedElements(300, true) + "</q>"), false},
        {"quotes in names, shallow", squareWith("<q' a'=\"'\" b=''/>"), true},
        // Over a million tags and attributes: RapidXML keeps about 100 bytes for each.
        {"a million empty elements", squareWith(repeated("<a/>", 1000000)), false},
        {"a million attributes", squareWith("<a" + repeated(" b=''", 1000000) + "/>"), false},
        {"many elements, short of the bound", squareWith(repeated("<a/>", 990000)), true},
    };
    for (const auto& c : cases) {
        if (!c.read) {
            expectRefused(c.text, c.what);
            continue;
        }
        HeldMesh held;
        std::string text = c.text;
        EXPECT_FALSE(readColladaMesh(text.data(), held.mesh)) << c.what;
        EXPECT_EQ(held.mesh.triangleCount, 2) << c.what;
    }
}

TEST(ColladaRead, FlatSquareIsReadWithArraysIndicesAndUpwardNormals) {
    HeldMesh held;
    ASSERT_TRUE(read(ColladaParts{}, held));
    const Mesh& mesh = held.mesh;
    EXPECT_EQ(mesh.vertexCount, 4);
    EXPECT_EQ(mesh.triangleCount, 2);
    EXPECT_EQ(mesh.stride, 8);
    EXPECT_EQ(mesh.vertexBuffer, 0u);
    EXPECT_EQ(mesh.indexBuffer, 0u);
    const int32_t expectedIndices[6] = {0, 1, 2, 0, 2, 3};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(mesh.indices[k], expectedIndices[k]) << k;
    }
    for (int i = 0; i < 4; ++i) {
        expectVec3(normalOf(mesh, i), 0.0f, 1.0f, 0.0f, "normal of the flat square");
    }
    expectVec3(positionOf(mesh, 2), 1.0f, 0.0f, -1.0f, "file (1, 1, 0)");
    EXPECT_FLOAT_EQ(vertexOf(mesh, 3)[6], 0.0f);
    EXPECT_FLOAT_EQ(vertexOf(mesh, 3)[7], 1.0f);
}

TEST(ColladaRead, FileZUpBecomesEngineYUp) {
    HeldMesh held;
    ASSERT_TRUE(read(geometry("1 2 3 0 0 0 0 0 0", "0 0 0 1 0 1 2 0 2"), held));
    expectVec3(positionOf(held.mesh, 0), 1.0f, 3.0f, -2.0f);
}

TEST(ColladaRead, VertexNormalsAreTheNormalisedMeanOfTheirTriangles) {
    // A roof: triangle 0 faces +y, triangle 1 faces +x; they share the ridge vertices 1 and 2.
    // Triangle 2 has no area, its vertex 5 is named by nothing else; vertex 6 by no corner.
    HeldMesh held;
    ASSERT_TRUE(read(geometry("0 0 0  1 0 0  1 -1 0  1 0 -1  1 -9 -9  4 4 4  7 7 7",
                              "0 0 0 2 0 0 1 0 0  1 0 0 2 0 0 3 0 0  5 0 0 5 0 0 1 0 0"),
                     held));
    const Mesh& mesh = held.mesh;
    const float half = std::sqrt(0.5f);
    expectVec3(normalOf(mesh, 0), 0.0f, 1.0f, 0.0f, "vertex 0: upper face only");
    expectVec3(normalOf(mesh, 1), half, half, 0.0f, "vertex 1: both faces and the flat one");
    expectVec3(normalOf(mesh, 2), half, half, 0.0f, "vertex 2: both faces");
    expectVec3(normalOf(mesh, 3), 1.0f, 0.0f, 0.0f, "vertex 3: side face only");
    expectVec3(normalOf(mesh, 5), 0.0f, 0.0f, 0.0f, "vertex 5: a triangle without area");
    expectVec3(normalOf(mesh, 6), 0.0f, 0.0f, 0.0f, "vertex 6: no triangle");
    expectVec3(positionOf(mesh, 6), 7.0f, 7.0f, -7.0f, "vertex 6 keeps its own position");
    EXPECT_EQ(vertexOf(mesh, 6)[6], 0.0f);
    EXPECT_EQ(vertexOf(mesh, 6)[7], 0.0f);
}

TEST(ColladaRead, TrianglesWeighEquallyWhateverTheirSize) {
    // Vertex 0 is used by two small triangles facing +y and one large one facing +x.
    HeldMesh held;
    ASSERT_TRUE(read(geometry("0 0 0  1 0 0  1 -1 0  0 -1 0  0 0 -9  0 -9 0",
                              "0 0 0 2 0 0 1 0 0  0 0 0 3 0 0 2 0 0  0 0 0 4 0 0 5 0 0"),
                     held));
    Vec3 expected{-1.0f / 3.0f, 2.0f / 3.0f, 0.0f};
    normalize(expected);
    expectVec3(normalOf(held.mesh, 0), expected.x, expected.y, expected.z);
}

TEST(ColladaRead, ExtentIsTheLargestMagnitudePerAxis) {
    // Engine x spans -5..3, engine y (file z) 2..7, engine z (-file y) -1..4.
    HeldMesh held;
    ASSERT_TRUE(read(geometry("-5 1 2  3 -4 7  0 0 3", "0 0 0 1 0 1 2 0 2"), held));
    expectVec3(held.mesh.extent, 5.0f, 7.0f, 4.0f);
}

TEST(ColladaRead, ExtentIncludesVerticesNoCornerNames) {
    ColladaParts parts;
    parts.positions += " 0 -30 0";
    parts.positionCount = "15";
    HeldMesh held;
    ASSERT_TRUE(read(parts, held));
    EXPECT_EQ(held.mesh.vertexCount, 5);
    expectVec3(held.mesh.extent, 1.0f, 0.0f, 30.0f);
}

TEST(ColladaRead, MeshWithoutVerticesOrTrianglesHasTheLowestExtent) {
    HeldMesh held;
    ASSERT_TRUE(read(geometry("", ""), held));
    EXPECT_EQ(held.mesh.vertexCount, 0);
    EXPECT_EQ(held.mesh.triangleCount, 0);
    expectVec3(held.mesh.extent, -3.4028235e38f, -3.4028235e38f, -3.4028235e38f);
}

TEST(ColladaRead, SharedVertexKeepsWhatItsLastCornerWrote) {
    ColladaParts parts;
    parts.normals = "0 0 1 5 6 7";
    parts.normalCount = "6";
    parts.corners = "0 0 1 1 0 1 2 0 2 0 1 3 2 0 2 3 0 3"; // vertex 0: texcoord 1, then 3
    HeldMesh held;
    ASSERT_TRUE(read(parts, held));
    EXPECT_FLOAT_EQ(vertexOf(held.mesh, 0)[6], 0.0f);
    EXPECT_FLOAT_EQ(vertexOf(held.mesh, 0)[7], 1.0f);
    expectVec3(normalOf(held.mesh, 0), 0.0f, 1.0f, 0.0f, "file normals are replaced");
}

TEST(ColladaRead, PolygonsAreReadAsTrianglesFromTheFirstCorners) {
    ColladaParts parts;
    parts.triangleCount = "1";
    parts.corners = "0 0 0 1 0 1 2 0 2 3 0 1"; // a quad: the fourth corner is ignored
    HeldMesh held;
    ASSERT_TRUE(read(parts, held));
    EXPECT_EQ(held.mesh.triangleCount, 1);
    EXPECT_FLOAT_EQ(vertexOf(held.mesh, 3)[6], 0.0f); // texcoord 1 was not written
    expectVec3(normalOf(held.mesh, 3), 0.0f, 0.0f, 0.0f, "vertex 3 is in no triangle");
}

TEST(ColladaRead, NumbersAreSplitOnSpacesOnlyAndReadAsAtofAndAtoi) {
    ColladaParts parts;
    // "2.5\n7" is one token read as 2.5; runs of spaces are one separator; numbers beyond the
    // count are ignored.
    parts.positions = "  1   2.5\n7 4\t8 0 0 0  0 0 0 99";
    parts.positionCount = "9";
    parts.texcoords = "1.00000005960464477550 0";
    parts.texcoordCount = "2";
    parts.triangleCount = "1";
    parts.corners = "0 0 0\n9 1 +0 0 2 0 0";
    HeldMesh held;
    ASSERT_TRUE(read(parts, held));
    expectVec3(positionOf(held.mesh, 0), 1.0f, 4.0f, -2.5f);
    EXPECT_EQ(held.mesh.indices[1], 1);
    // The text lies just above the midpoint between 1 and the next float: atof gives the
    // midpoint in double, which rounds to 1; reading straight to float would give 1 + 2^-23.
    EXPECT_EQ(vertexOf(held.mesh, 0)[6], static_cast<float>(std::atof("1.00000005960464477550")));
    EXPECT_EQ(vertexOf(held.mesh, 0)[6], 1.0f);
}

TEST(ColladaRead, MalformedDocumentsGiveTheEmptyMesh) {
    const std::string good = makeCollada(ColladaParts{});
    expectRefused("", "empty text");
    expectRefused("<COLLADA><library_geometries>", "unclosed elements");
    expectRefused(good.substr(0, good.size() / 2), "cut in half");
    expectRefused("<COLLADA/>", "no library_geometries");
    expectRefused(replaced(replaced(good, "<geometry id=\"square\">", "<shape>"), "</geometry>", "</shape>"),
                  "no geometry");
    expectRefused(replaced(replaced(good, "<mesh>", "<lines>"), "</mesh>", "</lines>"), "no mesh");
    expectRefused(replaced(replaced(good, "<polylist count=\"2\">", "<triangles count=\"2\">"), "</polylist>",
                           "</triangles>"),
                  "no polylist");
    expectRefused(replaced(replaced(good, "<p>", "<q>"), "</p>", "</q>"), "no p");
    expectRefused(replaced(good, "<polylist count=\"2\">", "<polylist>"), "no triangle count");
    expectRefused(replaced(good, "array\" count=\"12\"", "array\""), "no position count");
    expectRefused(replaced(replaced(good, "<float_array id=\"texcoords-array\"", "<int_array id=\"t\""),
                           "1 1 0 1</float_array>", "1 1 0 1</int_array>"),
                  "no texcoord float_array");
    const size_t third = good.find("<source id=\"texcoords\">");
    expectRefused(good.substr(0, third) + good.substr(good.find("</source>", third) + 10),
                  "two sources only");
}

TEST(ColladaRead, CountsAndIndicesThatDoNotFitGiveTheEmptyMesh) {
    auto refused = [](void (*change)(ColladaParts&), const char* what) {
        ColladaParts parts;
        change(parts);
        expectRefused(makeCollada(parts), what);
    };
    refused([](ColladaParts& p) { p.positions = "0 0 0 1 0 0 1 1 0 0 1"; }, "a position short");
    refused([](ColladaParts& p) { p.normalCount = "6"; }, "normals short");
    refused([](ColladaParts& p) { p.texcoords = "0 0 1 0\n1 1 0 1"; }, "newline is no separator");
    refused([](ColladaParts& p) { p.corners.pop_back(); }, "last corner short");
    refused([](ColladaParts& p) { p.triangleCount = "3"; }, "triangle count past the corners");
    refused([](ColladaParts& p) { p.positionCount = "-3"; }, "negative position count");
    refused([](ColladaParts& p) { p.triangleCount = "-1"; }, "negative triangle count");
    refused([](ColladaParts& p) { p.positionCount = "2000000000"; }, "absurd position count");
    refused([](ColladaParts& p) { p.triangleCount = "99999999999999999999"; }, "triangle count beyond long");
    refused([](ColladaParts& p) { p.corners.replace(0, 1, "4"); }, "vertex past the positions");
    refused([](ColladaParts& p) { p.corners.replace(0, 1, "-1"); }, "negative vertex");
    refused([](ColladaParts& p) { p.corners.replace(2, 1, "1"); }, "normal past the normals");
    refused([](ColladaParts& p) { p.corners.replace(4, 1, "4"); }, "texcoord past the texcoords");
    refused([](ColladaParts& p) { p.corners.replace(0, 1, "4294967296"); }, "vertex beyond int");
    refused([](ColladaParts& p) { p.positionCount = "11"; }, "a partial vertex leaves vertex 3 missing");
}

// Files that are not plain files (a FIFO without a writer, a device, a folder) or larger than a
// mesh may be are refused without waiting or reading them.
TEST(ColladaRead, LoadMeshReportsFilesItCannotReadInOneLine) {
    const std::string fifo = tempPath("fifo.dae");
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = tempPath("zero.dae");
    std::filesystem::remove(zero);
    std::filesystem::create_symlink("/dev/zero", zero);
    const std::string folder = tempPath("folder.dae");
    std::filesystem::create_directories(folder);
    const std::string huge = tempPath("huge.dae");
    writeFile(huge, makeCollada(ColladaParts{}));
    std::filesystem::resize_file(huge, largestColladaFile + 1);
    const std::string wrongName = tempPath("square.xml");
    writeFile(wrongName, makeCollada(ColladaParts{}));
    const std::string broken = tempPath("broken.dae");
    writeFile(broken, replaced(makeCollada(ColladaParts{}), "<p>", "<q>"));
    const std::string deep = tempPath("deep.dae");
    writeFile(deep, deepDocument(false));
    for (const std::string& path :
         {tempPath("missing.dae"), wrongName, broken, deep, fifo, zero, folder, huge}) {
        HeldMesh held;
        testing::internal::CaptureStdout();
        EXPECT_EQ(&loadMesh(held.mesh, path.c_str()), &held.mesh);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "error: mesh " + path + " loaded incorrectly!\n");
        expectEmpty(held.mesh, path);
    }
}
