// The COLLADA reader against the plain reference reader of collada_reference.h (strtok, atof,
// atoi, normals averaged per vertex). Both must give the same mesh to the bit (any NaN matching
// any NaN: which of two NaN operands an instruction passes on is the compiler's choice) on
// every generated mesh and on a fixed-seed soup of numbers in many spellings.
#include "assets/collada_reader.h"
#include "tests/assets/asset_files.h"
#include "tests/assets/collada_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace valley;

namespace {

// ---- Comparing ------------------------------------------------------------------------------

// What readColladaMesh makes of the text or, given a path, readColladaFile of the file.
ReadMesh engineRead(std::string text, const std::string& path = "") {
    HeldMesh held;
    ReadMesh mesh;
    mesh.read =
        !(path.empty() ? readColladaMesh(text.data(), held.mesh) : readColladaFile(path.c_str(), held.mesh));
    mesh.vertexCount = held.mesh.vertexCount;
    mesh.triangleCount = held.mesh.triangleCount;
    if (held.mesh.vertices != nullptr) {
        mesh.vertices.assign(held.mesh.vertices,
                             held.mesh.vertices + 8 * static_cast<size_t>(held.mesh.vertexCount));
    }
    if (held.mesh.indices != nullptr) {
        mesh.indices.assign(held.mesh.indices,
                            held.mesh.indices + 3 * static_cast<size_t>(held.mesh.triangleCount));
    }
    mesh.extent[0] = held.mesh.extent.x;
    mesh.extent[1] = held.mesh.extent.y;
    mesh.extent[2] = held.mesh.extent.z;
    EXPECT_EQ(held.mesh.stride, 8);
    EXPECT_EQ(held.mesh.vertexBuffer, 0u);
    EXPECT_EQ(held.mesh.indexBuffer, 0u);
    return mesh;
}

// The first float that differs, bits compared, NaN matching NaN; -1 when none does.
long firstDifference(const float* a, const float* b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!(std::isnan(a[i]) && std::isnan(b[i])) && std::memcmp(&a[i], &b[i], sizeof(float)) != 0) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

testing::AssertionResult sameRead(const std::string& text, const std::string& path = "") {
    const ReadMesh expected = referenceReadCollada(text);
    const ReadMesh actual = engineRead(text, path);
    if (expected.read != actual.read) {
        return testing::AssertionFailure() << "reference " << (expected.read ? "reads" : "refuses")
                                           << ", reader " << (actual.read ? "reads" : "refuses");
    }
    if (!expected.read) {
        if (actual.vertexCount != 0 || actual.triangleCount != 0 || !actual.vertices.empty() ||
            !actual.indices.empty() || firstDifference(actual.extent, ReadMesh{}.extent, 3) != -1) {
            return testing::AssertionFailure() << "a refused document leaves more than an empty mesh";
        }
        return testing::AssertionSuccess();
    }
    if (expected.vertexCount != actual.vertexCount || expected.triangleCount != actual.triangleCount) {
        return testing::AssertionFailure()
               << "counts " << actual.vertexCount << "/" << actual.triangleCount << ", expected "
               << expected.vertexCount << "/" << expected.triangleCount;
    }
    if (expected.indices.size() != actual.indices.size() ||
        !std::equal(expected.indices.begin(), expected.indices.end(), actual.indices.begin())) {
        return testing::AssertionFailure() << "indices differ";
    }
    const long vertex =
        firstDifference(expected.vertices.data(), actual.vertices.data(), expected.vertices.size());
    if (vertex != -1) {
        return testing::AssertionFailure()
               << "vertex " << vertex / 8 << " float " << vertex % 8 << ": " << actual.vertices[vertex]
               << ", expected " << expected.vertices[vertex];
    }
    const long axis = firstDifference(expected.extent, actual.extent, 3);
    if (axis != -1) {
        return testing::AssertionFailure() << "extent axis " << axis << ": " << actual.extent[axis]
                                           << ", expected " << expected.extent[axis];
    }
    return testing::AssertionSuccess();
}

std::string fileText(const std::string& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[65536];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            text.append(chunk, got);
        }
        std::fclose(file);
    }
    return text;
}

// ---- Number soup ----------------------------------------------------------------------------

// Spellings atof and atoi take in ways worth checking: signs, exponents, hex, infinities and
// NaNs in any case, whitespace inside a token (only spaces split), trailing characters,
// values beyond float and double and below the smallest, halfway cases, long digit strings.
const char* const awkwardNumbers[] = {
    "+1",
    "1e-50",
    "1e400",
    "-1e400",
    "-0",
    "0",
    "0x1p3",
    "-0X1.8P1",
    "0x",
    "inf",
    "-INF",
    "Infinity",
    "nan",
    "NaN(123)",
    "-nan",
    "1.5\t2",
    "\n3",
    "\t-4.25",
    "\v\f\r7",
    ".5",
    "-.5",
    "5.",
    "-5.",
    ".",
    "-",
    "+",
    "1e",
    "1e+",
    "2.5E-3",
    "1E5",
    "--1",
    "+-1",
    "1.5.3",
    "12abc",
    "0.1",
    "0.30000000000000004",
    "1.00000005960464477550",
    "3.4028235e38",
    "3.4028236e38",
    "3.5e38",
    "1e-38",
    "1e-45",
    "1e-46",
    "4.9e-324",
    "2.4703282292062327e-324",
    "1e-310",
    "9007199254740993",
    "123456789012345678901234567890",
    "0.000000000000000000000000000123456789",
    "00000000000000000000000000000000000000001.5",
    "12.08555",
    "-49.21875",
    "0.7973531",
    "-0.7973531",
    "99999999",
    "12345678.9",
    "1234567.8",
    "0.00000001",
    "9.9999999",
    "1.0000000000000000000000001",
};

std::string randomDecimal(std::mt19937& random) {
    std::string text;
    if (random() % 2 == 0) {
        text += '-';
    }
    auto digits = [&random](int most) {
        std::string run(random() % (most + 1), '0');
        for (char& c : run) {
            c = static_cast<char>('0' + random() % 10);
        }
        return run;
    };
    text += digits(random() % 4 == 0 ? 25 : 9);
    if (random() % 4 != 0) {
        text += '.' + digits(random() % 4 == 0 ? 25 : 9);
    }
    if (random() % 5 == 0) {
        text += (random() % 2 == 0 ? "e" : "E") + std::string(random() % 2 == 0 ? "-" : "") + digits(3);
    }
    return text;
}

// Like the generator's numbers: a float printed with 1 to 9 significant digits.
std::string printedFloat(std::mt19937& random) {
    std::uniform_real_distribution<float> value(-120.0f, 120.0f);
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", static_cast<int>(1 + random() % 9),
                  static_cast<double>(value(random)));
    return text;
}

std::string numberText(std::mt19937& random) {
    switch (random() % 4) {
    case 0:
        return awkwardNumbers[random() % (sizeof awkwardNumbers / sizeof *awkwardNumbers)];
    case 1:
        return randomDecimal(random);
    default:
        return printedFloat(random);
    }
}

// Mostly one space, sometimes more; the text may start with spaces too.
std::string separator(std::mt19937& random) {
    return std::string(random() % 6 == 0 ? 1 + random() % 3 : 1, ' ');
}

std::string numbersText(std::mt19937& random, int count) {
    std::string text = random() % 8 == 0 ? "  " : "";
    for (int i = 0; i < count; ++i) {
        text += numberText(random) + (i + 1 < count || random() % 4 == 0 ? separator(random) : "");
    }
    return text;
}

// An index in the spellings atoi reads alike, now and then one to refuse.
std::string indexText(std::mt19937& random, int limit, bool faults) {
    const int value = static_cast<int>(random() % static_cast<unsigned>(limit));
    switch (faults ? random() % 40 : 99) {
    case 0:
        return std::to_string(limit);
    case 1:
        return "-" + std::to_string(1 + value);
    case 2:
        return "4294967296";
    case 3:
        return "99999999999999999999";
    case 4:
        return "x";
    default:
        break;
    }
    static const char* const before[] = {"+", "0", "00", "\t", "\n", "\n+", "\v0"};
    static const char* const after[] = {"x", ".9", "\t", "\n1", "e5", "-3"};
    std::string text = random() % 10 == 0 ? before[random() % 7] : "";
    text += value == 0 && random() % 4 == 0 ? "-0" : std::to_string(value);
    if (random() % 10 == 0) {
        text += after[random() % 6];
    }
    return text;
}

// Corners are mostly one number three times, single spaces between (as in the valley's files).
std::string cornersText(std::mt19937& random, int corners, const int limits[3], bool faults) {
    const int shared = std::min({limits[0], limits[1], limits[2]});
    std::string text = random() % 8 == 0 ? " " : "";
    for (int k = 0; k < corners; ++k) {
        if (random() % 3 != 0) {
            // Now and then one past the smallest array, when faults are wanted.
            const unsigned value =
                faults && random() % 50 == 0 ? shared : random() % static_cast<unsigned>(shared);
            const std::string same = std::to_string(value);
            text += same + " " + same + " " + same;
        } else {
            for (int field = 0; field < 3; ++field) {
                text += indexText(random, limits[field], faults) + (field < 2 ? separator(random) : "");
            }
        }
        text += k + 1 < corners || random() % 4 == 0 ? separator(random) : "";
    }
    return text;
}

// A document with `vertices` positions (and a few tokens more or fewer now and then), its own
// numbers of normals and texture coordinates, and triangles over them.
ColladaParts soupDocument(std::mt19937& random, int vertices, int triangles, bool faults) {
    const int normals = 1 + static_cast<int>(random() % static_cast<unsigned>(vertices));
    const int texcoords = 1 + static_cast<int>(random() % static_cast<unsigned>(vertices));
    const int slack = faults ? static_cast<int>(random() % 5) - 2 : static_cast<int>(random() % 3);
    ColladaParts parts;
    const int positionCount = 3 * vertices + (random() % 4 == 0 ? 1 + static_cast<int>(random() % 2) : 0);
    parts.positions = numbersText(random, std::max(0, positionCount + slack));
    parts.positionCount = std::to_string(positionCount);
    parts.normals = numbersText(random, 3 * normals);
    parts.normalCount = std::to_string(3 * normals);
    parts.texcoords = numbersText(random, 2 * texcoords);
    parts.texcoordCount = std::to_string(2 * texcoords);
    const int limits[3] = {vertices, normals, texcoords};
    parts.corners = cornersText(random, 3 * triangles + (random() % 4 == 0 ? 1 : 0), limits, faults);
    parts.triangleCount = std::to_string(triangles);
    return parts;
}

} // namespace

TEST(ColladaDifferential, EveryGeneratedMeshReadsAsTheReferenceReadsIt) {
    // From its text and from its file.
    const char* const meshes[] = {"riverlake_terrain", "cliff", "water2", "cube5", "sphere9", "skyCube"};
    for (const char* name : meshes) {
        const std::string path = std::string(VALLEY_DATA_DIR) + "Meshes/" + name + ".dae";
        const std::string text = fileText(path);
        ASSERT_FALSE(text.empty()) << path << " is missing: build valley_data";
        EXPECT_TRUE(sameRead(text)) << path;
        EXPECT_TRUE(sameRead(text, path)) << path << " read from the file";
        EXPECT_TRUE(referenceReadCollada(text).read) << path;
    }
}

TEST(ColladaDifferential, AwkwardNumberSpellingsReadAsAtofReadsThem) {
    // Each spelling in turn as the first coordinate of vertex 1, the others as its neighbours.
    const size_t count = sizeof awkwardNumbers / sizeof *awkwardNumbers;
    for (size_t i = 0; i < count; ++i) {
        ColladaParts parts;
        parts.positions = std::string("0 0 0 ") + awkwardNumbers[i] + " " + awkwardNumbers[(i + 1) % count] +
                          " " + awkwardNumbers[(i + 7) % count] + " 1 1 0 0 1 0";
        parts.texcoords = std::string(awkwardNumbers[(i + 3) % count]) + " 0 1 0 1 1 0 " + awkwardNumbers[i];
        EXPECT_TRUE(sameRead(makeCollada(parts))) << awkwardNumbers[i];
    }
}

TEST(ColladaDifferential, CornersInOddSpellingsReadAsAtoiReadsThem) {
    // Corners that look like one number three times but are not, or only nearly; each is put
    // after and before plain corners, far enough from the end for every way of reading them.
    const char* const corners[] = {
        "1.1.1.",    "1x1x1x", "11 11 11x", "11 11 1",  "2 2 02",    "0 0 00",   "1 1  1",     "1\t1 1",
        "1 1 1\t",   "+1 1 1", "1 +1 1",    "3 3 3",    "4 4 4",     "-0 -0 -0", "1 1 1  ",    "  1 1 1",
        "0 0 0 0 0", "10 1 0", "1 10 1",    "9 9 9 10", "1 1 1 1 1", "12 1 2",   "2 2 2\n1 1", "11111111 1 1",
    };
    int read = 0;
    for (const char* corner : corners) {
        ColladaParts parts; // four vertices, normals and texture coordinates
        parts.normals = "0 0 1 0 0 1 0 0 1 0 0 1";
        parts.normalCount = "12";
        parts.triangleCount = "4";
        parts.corners = std::string("0 0 0 1 1 1 2 2 2 ") + corner +
                        " 3 3 3 2 2 2 1 1 1 0 0 0 1 1 1 2 2 2 3 3 3 " +
                        "0 0 0 2 2 2 1 1 1 3 3 3 0 0 0 1 1 1 2 2 2 3 3 3 0 0 0 1 1 1";
        EXPECT_TRUE(sameRead(makeCollada(parts))) << corner;
        read += referenceReadCollada(makeCollada(parts)).read ? 1 : 0;
    }
    EXPECT_GT(read, 15);
}

TEST(ColladaDifferential, NumberSoupReadsAsTheReferenceReadsIt) {
    std::mt19937 random(20241207);
    int read = 0;
    int refused = 0;
    for (int document = 0; document < 3000; ++document) {
        const bool faults = document % 4 == 3;
        const int vertices = 1 + static_cast<int>(random() % (document % 10 == 0 ? 400 : 40));
        const int triangles = static_cast<int>(random() % (document % 10 == 0 ? 300 : 30));
        const std::string text = makeCollada(soupDocument(random, vertices, triangles, faults));
        const testing::AssertionResult same = sameRead(text);
        EXPECT_TRUE(same) << "document " << document << ":\n" << text;
        if (!same) {
            break;
        }
        (referenceReadCollada(text).read ? read : refused) += 1;
    }
    // The soup must reach both outcomes often enough to say something.
    EXPECT_GT(read, 1000);
    EXPECT_GT(refused, 300);
}
