// Rocks thrown into fresh records of play (tests/support/play_records.h) with a real OpenGL
// context: the default material, the shared rock texture and a rock mesh of radius 1, as the
// scene gives them.
#pragma once

#include "assets/mesh_data.h"
#include "assets/texture.h"
#include "game/fall.h"
#include "game/tick.h"
#include "tests/support/gl_context.h"
#include "tests/support/play_records.h"

using namespace valley;

class RockTest : public GlContextTest {
protected:
    void SetUp() override;

    // A rock made as the player's throw makes it, then placed and given a velocity.
    Fall* throwRock(Vec3 position, Vec3 velocity);
    void hold(int key);
    void release(int key);
    int liveCount() const;
    Tick tick() const; // the records the rocks work on, as the running tick hands them

    PlayRecords* records = nullptr;
    Mesh rockMesh = {};
    Texture rockTexture = {};
};
