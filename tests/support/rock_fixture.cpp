#include "tests/support/rock_fixture.h"

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
    records = &freshPlayRecords(phong());
    records->rockTexture = &rockTexture;
    rockMesh.stride = 8;
    rockMesh.extent = {1, 1, 1};
    seedRandom(records->random, 7);
}

Fall* RockTest::throwRock(Vec3 position, Vec3 velocity) {
    Fall* fall = new Fall;
    RenderObject* rock = createLogicObject(&rockMesh, records->camera, fall, tick());
    rock->position = position;
    fall->body->place = position;
    fall->velocity = velocity;
    return fall;
}

void RockTest::hold(int key) { setKey(records->input, key, true); }
void RockTest::release(int key) { setKey(records->input, key, false); }
int RockTest::liveCount() const { return records->liveRocks; }
Tick RockTest::tick() const { return tickOf(*records); }
