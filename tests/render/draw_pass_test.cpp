#include "render/render_object.h"

#include "assets/mesh.h"
#include "render/ground_pieces.h"
#include "render/shader_program.h"
#include "tests/render/render_fixture.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace valley;

namespace {

void expectPixel(Pixel actual, Pixel expected) {
    EXPECT_NEAR(actual.red, expected.red, 2);
    EXPECT_NEAR(actual.green, expected.green, 2);
    EXPECT_NEAR(actual.blue, expected.blue, 2);
    EXPECT_NEAR(actual.alpha, expected.alpha, 2);
}

Mat4 turned(void (*rotate)(Mat4&, float), float degrees) {
    Mat4 m;
    copyMat4(m, identityMat4);
    rotate(m, degrees);
    return m;
}

// A hilly height field over x and z from -1 to 1, faces up, normals smooth: level ground,
// slopes of every steepness and a hollow below the terrain shader's water height.
struct Hills {
    static const int cells = 24;

    Hills() {
        for (int k = 0; k <= cells; ++k) {
            for (int i = 0; i <= cells; ++i) {
                const float x = -1.0f + 2.0f * i / cells;
                const float z = -1.0f + 2.0f * k / cells;
                const float y = 0.3f * std::sin(4.0f * x) * std::cos(3.0f * z) + 0.8f * x * x * x - 0.4f;
                const float vertex[8] = {x, y, z, 0, 0, 0, x, z};
                vertices.insert(vertices.end(), vertex, vertex + 8);
            }
        }
        for (int k = 0; k < cells; ++k) {
            for (int i = 0; i < cells; ++i) {
                const int32_t at = k * (cells + 1) + i;
                const int32_t quad[6] = {at, at + cells + 1, at + 1, at + 1, at + cells + 1, at + cells + 2};
                indices.insert(indices.end(), quad, quad + 6);
            }
        }
        mesh = {static_cast<int32_t>(vertices.size() / 8),
                8,
                vertices.data(),
                static_cast<int32_t>(indices.size() / 3),
                indices.data(),
                0,
                0,
                {1, 1, 1}};
        smoothVertexNormals(mesh);
        glGenBuffers(1, &mesh.vertexBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
        glBufferData(GL_ARRAY_BUFFER, vertices.size() * sizeof(float), vertices.data(), GL_STATIC_DRAW);
        glGenBuffers(1, &mesh.indexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * sizeof(int32_t), indices.data(),
                     GL_STATIC_DRAW);
    }
    ~Hills() {
        glDeleteBuffers(1, &mesh.vertexBuffer);
        glDeleteBuffers(1, &mesh.indexBuffer);
    }

    std::vector<float> vertices;
    std::vector<int32_t> indices;
    Mesh mesh = {};
};

std::vector<uint8_t> frame() {
    std::vector<uint8_t> pixels(1280 * 720 * 4);
    glReadPixels(0, 0, 1280, 720, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

const Pixel red = {255, 0, 0, 255};

class DrawPass : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        texture = solidTexture(255, 0, 0);
    }
    GLuint samplesDrawn() {
        GLuint query = 0;
        GLuint samples = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_SAMPLES_PASSED, query);
        drawRenderList(scene);
        glEndQuery(GL_SAMPLES_PASSED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
        glDeleteQueries(1, &query);
        return samples;
    }

    Texture* texture = nullptr;
};

} // namespace

TEST_F(DrawPass, DrawsOnlyWithinTwentyThousandOnEveryAxis) {
    struct Case {
        Vec3 position;
        Vec3 rotation; // the quad faces the camera
        float yaw;
        float pitch;
    };
    const Case axes[3] = {{{1, 0, 0}, {0, 90, 0}, 0.0f, 0.0f},
                          {{0, 1, 0}, {90, 0, 0}, 0.0f, -90.0f},
                          {{0, 0, 1}, {0, 0, 0}, 90.0f, 0.0f}};
    for (const Case& axis : axes) {
        camera.yaw = axis.yaw;
        camera.pitch = axis.pitch;
        RenderObject* object = addQuad(materials().skyBox, {}, texture);
        object->rotation = axis.rotation;
        object->scale = {5000, 5000, 5000};
        for (float distance : {19999.9f, 20000.0f}) {
            object->position = {distance * axis.position.x, distance * axis.position.y,
                                distance * axis.position.z};
            EXPECT_EQ(samplesDrawn() > 0, distance < 20000.0f) << distance << " at yaw " << axis.yaw;
        }
        destroyRenderObject(object, scene);
    }
}

TEST_F(DrawPass, MaterialsShadeAsTheirLightsPredict) {
    const Materials& made = materials();
    Texture* green = solidTexture(0, 255, 0);
    const float blend = 0.6f;
    const Mat4 facingAway = turned(rotateMat4Y, 180.0f); // the normal turned from +z to -z
    const Mat4 facingUp = turned(rotateMat4X, -90.0f);
    const Mat4 facingDown = turned(rotateMat4X, 90.0f);

    addQuad(made.phong, {-8, 3, -10}, texture);                                // 0.3 + 2 * 0.3
    setNormalMatrix(*addQuad(made.phong, {-3, 3, -10}, texture), &facingAway); // ambient only
    setBlend(*addQuad(made.phong, {3, 3, -10}, texture), &blend);
    addQuad(made.skyBox, {8, 3, -10}, texture);
    RenderObject* rock = addQuad(made.terrain, {-8, -3, -10}, texture);
    setTexture(*rock, "Texture2", green);
    RenderObject* grass = addQuad(made.terrain, {-3, -3, -10}, texture);
    setTexture(*grass, "Texture2", green);
    setNormalMatrix(*grass, &facingUp);         // 0.3 + 2 * 0.6, saturated
    addQuad(made.water, {3, -3, -10}, texture); // 0.2 + 1.6 * 0.3 / 0.9
    setNormalMatrix(*addQuad(made.water, {8, -3, -10}, texture), &facingDown);
    drawRenderList(scene);

    expectPixel(pixelAt({-8, 3, -10}), {230, 0, 0, 255});
    expectPixel(pixelAt({-3, 3, -10}), {77, 0, 0, 255});
    expectPixel(pixelAt({3, 3, -10}), {230, 0, 0, 153});
    expectPixel(pixelAt({8, 3, -10}), red);
    expectPixel(pixelAt({-8, -3, -10}), {230, 0, 0, 255});
    expectPixel(pixelAt({-3, -3, -10}), {0, 255, 0, 255});
    expectPixel(pixelAt({3, -3, -10}), {187, 0, 0, 255});
    // From below: 0.6 of the texture, three quarters of the way to the water colour (0, 0.15, 0.5).
    expectPixel(pixelAt({8, -3, -10}), {38, 29, 96, 255});

    // Terrain below the water height (model y under -0.635) leans to the water colour.
    Pixel deep = pixelAt({-8, -3.9f, -10});
    EXPECT_GT(deep.blue, 80);
    EXPECT_LT(deep.red, 80);
}

// Quads meeting in one plane tie at every pixel they share: list order decides what shows,
// in whatever order the draw pass draws them.
TEST_F(DrawPass, WhereOpaqueObjectsTieTheFirstInTheListShows) {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const Materials& made = materials();
    auto addGround = [&](Vec3 position, Texture* rock) {
        RenderObject* ground = addQuad(made.terrain, position, rock);
        ground->groundPieces = makeGroundPieces(quad());
        return ground;
    };
    const Pixel litRed = {230, 0, 0, 255}; // the terrain's light on a quad facing the camera
    const Pixel litBlue = {0, 0, 230, 255};
    const Pixel green = {0, 255, 0, 255};
    const Pixel yellow = {255, 255, 0, 255};
    const float half = 0.5f;

    addGround({-0.5f, 0, -10}, texture);
    addGround({0.5f, 0, -10}, solidTexture(0, 0, 255));
    addQuad(made.skyBox, {0, 1.5f, -10}, solidTexture(0, 255, 0));
    RenderObject* sky = addQuad(made.skyBox, {0, 0, -10}, solidTexture(255, 255, 0));
    sky->scale = {2.5f, 2.5f, 1};
    sky->background = 1;
    // In front of the first ground, half see-through: it must blend over the ground.
    setBlend(*addQuad(made.phong, {-1.25f, -0.5f, -9}, solidTexture(255, 255, 255)), &half);
    drawRenderList(scene);
    expectPixel(pixelAt({-1.25f, 0.75f, -10}), litRed);
    expectPixel(pixelAt({0.0f, 0.75f, -10}), litRed);
    expectPixel(pixelAt({0.75f, 0.75f, -10}), litBlue);
    expectPixel(pixelAt({0.0f, 2.0f, -10}), green);
    expectPixel(pixelAt({2.0f, -2.0f, -10}), yellow);
    expectPixel(pixelAt({-1.25f, -0.25f, -9}), {230, 115, 115, 191});
    GLint depthFunction = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    EXPECT_EQ(depthFunction, GL_LESS);

    // An opaque object before the ground wins its ties with it.
    while (scene.head != nullptr) {
        destroyRenderObject(static_cast<RenderObject*>(scene.head->payload), scene);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    addQuad(made.skyBox, {-1, 0, -10}, solidTexture(0, 255, 0));
    addGround({0, 0, -10}, texture);
    drawRenderList(scene);
    expectPixel(pixelAt({-0.5f, 0, -10}), green);
    expectPixel(pixelAt({0.5f, 0, -10}), litRed);
}

TEST_F(DrawPass, GroundDrawnInPiecesShowsWhatTheWholeMeshShows) {
    glEnable(GL_DEPTH_TEST);
    Hills hills;
    RenderObject* ground = createRenderObject(&hills.mesh, camera);
    ground->shader = materials().terrain;
    ground->position = {6.0f, -0.8f, -3.5f}; // at the right edge of the view: a third of its tiles out
    ground->rotation = {35, 20, 0};
    ground->scale = {1.6f, 1.6f, 1.6f};
    makeTextureSlots(*ground);
    makeNormalMatrixSlots(*ground);
    makeBlendSlots(*ground);
    setTexture(*ground, "Texture1", texture);                 // rock: red
    setTexture(*ground, "Texture2", solidTexture(0, 255, 0)); // grass: green
    GroundPieces* pieces = makeGroundPieces(hills.mesh);
    for (int slope = steepGround; slope <= mixedGround; ++slope) {
        EXPECT_GT(pieces->triangleCount[slope], 40)
            << "slope class " << slope << ": " << pieces->triangleCount[slope];
    }

    // The normal matrix the pieces were sorted for, then one they were not.
    const Mat4 tilted = turned(rotateMat4X, -50.0f);
    for (const Mat4* normalMatrix : {&identityMat4, &tilted}) {
        setNormalMatrix(*ground, normalMatrix);
        std::vector<uint8_t> pictures[2];
        for (std::vector<uint8_t>& picture : pictures) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            drawRenderList(scene);
            picture = frame();
            ground->groundPieces = pieces;
        }
        ground->groundPieces = nullptr;
        int largest = 0;
        size_t covered = 0;
        for (size_t i = 0; i < pictures[0].size(); ++i) {
            largest = std::max(largest, std::abs(pictures[0][i] - pictures[1][i]));
            covered += i % 4 == 3 && pictures[0][i] != 0 ? 1 : 0;
        }
        EXPECT_LE(largest, 1) << (normalMatrix == &tilted ? "tilted normals" : "the mesh's normals");
        EXPECT_GT(covered, 50000u);
    }
    ground->groundPieces = pieces; // freed with the object
}

TEST_F(DrawPass, GroundPiecesHoldEveryTriangleOnceInItsSlopeClassAndInsideItsTile) {
    Hills hills;
    GroundPieces* pieces = makeGroundPieces(hills.mesh);
    std::vector<uint32_t> held(hills.indices.size());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, pieces->indexBuffer);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, held.size() * sizeof(uint32_t), held.data());
    std::vector<std::vector<uint32_t>> found;
    int tilesUsed = 0;
    for (int slope = steepGround; slope <= mixedGround; ++slope) {
        for (int tile = 0; tile < groundTileCount; ++tile) {
            const GroundRun& run = pieces->runs[slope][tile];
            const GroundTile& bounds = pieces->tiles[tile];
            tilesUsed += slope == mixedGround && bounds.radius > 0.0f ? 1 : 0;
            for (int32_t i = run.firstIndex; i < run.firstIndex + run.indexCount; i += 3) {
                Vec3 normals[3];
                for (int c = 0; c < 3; ++c) {
                    const float* vertex = &hills.vertices[8 * held[i + c]];
                    const Vec3 offset = subtract({vertex[0], vertex[1], vertex[2]}, bounds.centre);
                    EXPECT_LE(std::sqrt(dot(offset, offset)), bounds.radius) << "tile " << tile;
                    normals[c] = {vertex[3], vertex[4], vertex[5]};
                }
                EXPECT_EQ(groundSlopeOf(normals), slope);
                found.push_back({held[i], held[i + 1], held[i + 2]});
            }
        }
    }
    std::vector<std::vector<uint32_t>> made;
    for (size_t i = 0; i < hills.indices.size(); i += 3) {
        made.push_back(
            {uint32_t(hills.indices[i]), uint32_t(hills.indices[i + 1]), uint32_t(hills.indices[i + 2])});
    }
    std::sort(found.begin(), found.end());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(found, made);
    EXPECT_EQ(tilesUsed, groundTileCount);
    freeGroundPieces(pieces);
}

// One triangle far out beside the hills: a mean of its corners that overflows to infinity (the
// tile is found past the grid's last cell), one below the first, corners that are not numbers.
// Each lands in some tile, and every triangle is held once.
TEST_F(DrawPass, GroundPiecesTakeATriangleFarOutOrNotANumber) {
    const float far = 2e38f;
    const float nan = std::nanf("");
    const struct {
        const char* what;
        Vec3 corners[3];
    } cases[] = {
        {"mean x past the largest float", {{far, 0, 0}, {far, 0, 1}, {far, 1, 0}}},
        {"mean z below the lowest float", {{0, 0, -far}, {1, 0, -far}, {0, 1, -far}}},
        {"corners not numbers", {{nan, 0, nan}, {nan, 0, 1}, {0, nan, 0}}},
    };
    for (const auto& c : cases) {
        Hills hills;
        std::vector<float> vertices = hills.vertices;
        std::vector<int32_t> indices = hills.indices;
        for (const Vec3& corner : c.corners) {
            const float vertex[8] = {corner.x, corner.y, corner.z, 0, 1, 0, 0, 0};
            vertices.insert(vertices.end(), vertex, vertex + 8);
            indices.push_back(static_cast<int32_t>(vertices.size() / 8 - 1));
        }
        Mesh mesh = hills.mesh;
        mesh.vertexCount = static_cast<int32_t>(vertices.size() / 8);
        mesh.vertices = vertices.data();
        mesh.triangleCount = static_cast<int32_t>(indices.size() / 3);
        mesh.indices = indices.data();
        GroundPieces* pieces = makeGroundPieces(mesh);
        int32_t held = 0;
        for (int slope = steepGround; slope <= mixedGround; ++slope) {
            held += pieces->triangleCount[slope];
            for (const GroundRun& run : pieces->runs[slope]) {
                EXPECT_LE(run.firstIndex + run.indexCount, 3 * mesh.triangleCount) << c.what;
            }
        }
        EXPECT_EQ(held, mesh.triangleCount) << c.what;
        freeGroundPieces(pieces);
    }
}
