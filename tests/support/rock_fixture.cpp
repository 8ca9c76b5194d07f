#include "tests/support/rock_fixture.h"

#include "app/kernel.h"
#include "assets/resource_cache.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "render/shader_program.h"

#include <cstdlib>

using namespace valley;

namespace {

ShaderProgram* phong() {
    static ResourceCache cache;
    static ShaderProgram* material = makePhongMaterial(cache);
    return material;
}

} // namespace

void RockTest::SetUp() {
    GlContextTest::SetUp();
    sandbox = std::make_unique<KernelSandbox>();
    sandbox->useMaterial(phong());
    kernel.rockTexture = &rockTexture;
    rockMesh.stride = 8;
    rockMesh.extent = {1, 1, 1};
    seedRandom(kernel.random, 7);
}

void RockTest::TearDown() { sandbox.reset(); }

Fall* RockTest::throwRock(Vec3 position, Vec3 velocity) {
    Fall* fall = new Fall(rockContext());
    RenderObject* rock = createLogicObject(&rockMesh, *kernel.camera, fall);
    rock->position = position;
    fall->body->place = position;
    fall->velocity = velocity;
    return fall;
}

void RockTest::hold(int key) { setKey(kernel.camera->input, key, true); }
void RockTest::release(int key) { setKey(kernel.camera->input, key, false); }
int RockTest::liveCount() const { return kernel.liveRockCount; }
