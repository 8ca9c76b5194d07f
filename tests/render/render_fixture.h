// Shared set-up of the render tests: render lists wired to a camera of their own, and for drawing
// a 2x2 quad mesh facing +z, one-texel textures, the four material presets and pixel read-back.
//
// The drawing camera stands at the origin with yaw -90, so eye space equals world space: it
// looks along -z, y up. Matrices follow core/vec_math.h.
#pragma once

#include "core/vec_math.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace valley {
struct Mesh;
struct ShaderProgram;
struct Texture;
} // namespace valley

using namespace valley;

// A camera at its defaults draws `scene` and `water`; objects left in them are destroyed
// afterwards.
class RenderListTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The program every object made into the two lists starts with, as start-up sets it.
    void useMaterial(ShaderProgram* material);

    Camera camera = {};
    RenderList scene = {};
    RenderList water = {};
};

struct Pixel {
    int red;
    int green;
    int blue;
    int alpha;
};

struct Materials {
    ShaderProgram* phong;
    ShaderProgram* terrain;
    ShaderProgram* water;
    ShaderProgram* skyBox;
};

// With a window: depth test, culling and blending off, cleared to transparent black.
class DrawTest : public RenderListTest {
protected:
    void SetUp() override;

    static Mesh& quad();                 // uploaded once
    static const Materials& materials(); // linked once, the default material is phong
    static Texture* solidTexture(uint8_t red, uint8_t green, uint8_t blue); // one texel
    // A quad object in the scene list with this material's slots, its samplers set to `texture`.
    RenderObject* addQuad(ShaderProgram* material, Vec3 position, Texture* texture);
    Pixel pixelAt(Vec3 eyePoint); // the back-buffer pixel where an eye-space point lands
};
