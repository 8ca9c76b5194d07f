#include "render/render_object.h"

#include "game/object_logic.h"
#include "render/shader_program.h"
#include "tests/render/render_fixture.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Notes its number at every update; optionally destroys its own object there.
struct Recorder : ObjectLogic {
    Recorder(std::vector<int>& log, int number, RenderList* destroyFrom)
        : log(log), number(number), destroyFrom(destroyFrom) {}
    void setUp() override {}
    void update() override {
        log.push_back(number);
        if (destroyFrom != nullptr) {
            destroyRenderObject(owner, *destroyFrom); // frees this behaviour too
        }
    }
    std::vector<int>& log;
    int number;
    RenderList* destroyFrom;
};

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

const Pixel clear = {0, 0, 0, 0};
const Pixel red = {255, 0, 0, 255};

class DrawPass : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        texture = solidTexture(255, 0, 0);
    }
    RenderObject* addRecorded(Vec3 position, int number, bool destroysItself) {
        RenderObject* object = addQuad(materials().skyBox, position, texture);
        object->logic = new Recorder(log, number, destroysItself ? &scene : nullptr);
        object->logic->owner = object;
        return object;
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
    std::vector<int> log;
};

} // namespace

TEST_F(DrawPass, UpdatesAndDrawsInListOrderSkippingHiddenAndSelfDestroyedObjects) {
    addRecorded({-8, 0, -10}, 0, false);
    addRecorded({-3, 0, -10}, 1, true);
    addRecorded({3, 0, -10}, 2, false)->visible = 0;
    addRecorded({8, 0, -10}, 3, false);
    addRecorded({0, 4, -10}, 4, true); // the tail
    drawRenderList(scene);
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3, 4}));
    expectPixel(pixelAt({-8, 0, -10}), red);
    expectPixel(pixelAt({-3, 0, -10}), clear);
    expectPixel(pixelAt({3, 0, -10}), clear);
    expectPixel(pixelAt({8, 0, -10}), red);
    expectPixel(pixelAt({0, 4, -10}), clear);

    drawRenderList(scene);
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3, 4, 0, 2, 3}));
}

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
