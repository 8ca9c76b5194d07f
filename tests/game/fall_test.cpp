#include "assets/resource_cache.h"
#include "game/behaviour_pass.h"
#include "physics/physics_world.h"
#include "platform/keys.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "tests/support/ground_patch.h"
#include "tests/support/rock_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace valley;

namespace {

const float airDrag = 0.997f;
const float gravity = 0.07f;
const float groundDrag = 0.986f;

float afterAirAndGravity(float vy) { return vy * airDrag - gravity; }

} // namespace

TEST_F(RockTest, SetUpSizesAndRegistersTheRock) {
    Fall* rock = throwRock({0, 1000, 0}, {0, 0, 0});
    EXPECT_EQ(liveCount(), 1);
    EXPECT_EQ(rock->owner->scale.x, 1.5f);
    EXPECT_EQ(rock->groundOffset, 1.5f);
    EXPECT_EQ(rock->lifeSpan, 700);
    EXPECT_EQ(rock->waterLevel, -11.0f);
    EXPECT_EQ(rock->blend, 1.0f);
    EXPECT_TRUE(rock->kind == rockKindPlain || rock->kind == rockKindDark);
    EXPECT_NEAR(rock->sphere->radius, 1.5f * 0.91f, 1e-6);
    EXPECT_EQ(records->bodies.head->payload, rock->body);
    EXPECT_EQ(rock->body->sphere, rock->sphere);
    EXPECT_EQ(records->sceneList.head->payload, rock->owner);
}

TEST_F(RockTest, FallsFreelyLosingGravityAndAirDragEveryFrame) {
    Fall* rock = throwRock({0, 1000, 0}, {1, 0, 0});
    rock->update(tick());
    EXPECT_FLOAT_EQ(rock->velocity.x, airDrag);
    EXPECT_FLOAT_EQ(rock->velocity.y, -gravity);
    EXPECT_EQ(rock->body->velocity.y, rock->velocity.y); // handed to the physics
    rock->update(tick());                                // takes the velocity back from the body
    EXPECT_FLOAT_EQ(rock->velocity.x, airDrag * airDrag);
    EXPECT_FLOAT_EQ(rock->velocity.y, afterAirAndGravity(-gravity));
    EXPECT_EQ(rock->airborne, 1);
}

// The rock is drawn where the physics left its body, and hands its ground contact back.
TEST_F(RockTest, TakesItsPlaceFromItsBodyAndHandsItBack) {
    Fall* rock = throwRock({0, 1000, 0}, {0, 0, 0});
    rock->body->place = {2, 500, 3}; // as an integration leaves it
    rock->update(tick());
    EXPECT_EQ(rock->owner->position.x, 2.0f);
    EXPECT_EQ(rock->owner->position.y, 500.0f);
    EXPECT_EQ(rock->owner->position.z, 3.0f);
    rock->body->place = {2, 0.5f, 3}; // below the ground: lifted to rest on it
    rock->update(tick());
    EXPECT_EQ(rock->owner->position.y, 1.5f);
    EXPECT_EQ(rock->body->place.y, 1.5f);
    EXPECT_EQ(rock->sphere->center.y, 1.5f);
}

TEST_F(RockTest, BouncesOffFlatGroundWithHalfItsSpeed) {
    Fall* rock = throwRock({0, 1.0f, 0}, {0, -0.93f, 0});
    rock->update(tick());
    EXPECT_NEAR(rock->velocity.y, 0.5f * -afterAirAndGravity(-0.93f) * groundDrag, 1e-5);
    EXPECT_NEAR(rock->velocity.x, 0.0f, 1e-6);
    EXPECT_EQ(rock->owner->position.y, 1.5f); // rests at its radius above the ground
    EXPECT_EQ(rock->airborne, 0);
}

TEST_F(RockTest, SlowArrivalsStopBouncing) {
    Fall* rock = throwRock({0, 1.5f, 0}, {0, -0.23f, 0}); // -0.3 after gravity: 0.15 is below 0.2
    rock->update(tick());
    EXPECT_NEAR(rock->velocity.y, 0.0f, 1e-6);
}

TEST_F(RockTest, RestingRocksLoseGroundFrictionBesidesAirDrag) {
    Fall* rock = throwRock({0, 1.5f, 0}, {1, 0, 0});
    rock->update(tick());
    EXPECT_NEAR(rock->velocity.x, airDrag * groundDrag, 1e-6);
    EXPECT_NEAR(rock->velocity.y, 0.0f, 1e-6);
}

TEST_F(RockTest, WaterLiftsDeepRocksUpToACap) {
    GroundPatch lakeBed(-1000.0f, {0, 1, 0});
    lakeBed.addToWorld(records->world);
    Fall* shallow = throwRock({0, -21, 0}, {0, 0, 0});
    Fall* deep = throwRock({0, -500, 0}, {0, 0, 0});
    shallow->update(tick());
    deep->update(tick());
    const float bob = 0.0075f; // a random ripple now and then
    EXPECT_NEAR(shallow->velocity.y, -gravity * 0.97f + 10 * 0.005f, bob + 1e-6);
    EXPECT_NEAR(deep->velocity.y, 0.8f, bob + 1e-6);
}

// Every draw is 0 to 32767, the generator's low 15 bits: a shake nudges a rock by at
// most 0.5 per axis, and a floating rock bobs on about 8 % of frames by at most 0.0075.
TEST_F(RockTest, RandomShakesAndBobsStayWithinTheirRange) {
    GroundPatch lakeBed(-1000.0f, {0, 1, 0});
    lakeBed.addToWorld(records->world);
    Fall* shaken = throwRock({0, 1000, 0}, {0, 0, 0});
    Fall* floating = throwRock({0, -500, 0}, {0, 0, 0});
    const int frames = 20000;
    float largestNudge = 0.0f;
    int bobs = 0;
    for (int frame = 0; frame < frames; ++frame) {
        hold('E');
        hold('F'); // frozen: the velocity shows the shake alone
        shaken->body->previousVelocity = {0, 0, 0};
        shaken->update(tick());
        for (float nudge : {shaken->velocity.x, shaken->velocity.y, shaken->velocity.z}) {
            ASSERT_LE(std::fabs(nudge), 0.5f);
            largestNudge = std::max(largestNudge, std::fabs(nudge));
        }
        release('E');
        release('F');
        floating->body->place = {0, -500, 0};
        floating->body->previousVelocity = {0, 0, 0};
        floating->update(tick()); // deep enough that the lift is capped at 0.8
        const float bob = floating->velocity.y - 0.8f;
        ASSERT_LE(std::fabs(bob), 0.0075f + 1e-6f);
        bobs += bob != 0.0f ? 1 : 0;
    }
    EXPECT_GT(largestNudge, 0.45f); // the draws do span their range
    EXPECT_NEAR(bobs / double(frames), 0.08, 0.01);
}

TEST_F(RockTest, SteeredRocksFollowTheKeysRelativeToTheView) {
    hold('F'); // frozen: the velocity shows the steering alone
    struct Case {
        int key;
        bool fast;
        Vec3 expected;
    } cases[] = {{'I', false, {0.02f, 0, 0}},
                 {'K', false, {-0.02f, 0, 0}},
                 {'J', false, {0, 0, -0.02f}},
                 {'L', false, {0, 0, 0.02f}},
                 {'I', true, {0.1f, 0, 0}}};
    for (const Case& c : cases) {
        Fall* rock = throwRock({0, 1000, 0}, {0, 0, 0});
        rock->kind = rockKindSteered;
        Fall* plain = throwRock({0, 1000, 0}, {0, 0, 0});
        plain->kind = rockKindPlain;
        hold(c.key);
        if (c.fast) {
            hold('G');
        }
        rock->update(tick());
        plain->update(tick());
        EXPECT_FLOAT_EQ(rock->velocity.x, c.expected.x) << char(c.key);
        EXPECT_FLOAT_EQ(rock->velocity.z, c.expected.z) << char(c.key);
        EXPECT_EQ(plain->velocity.x, 0.0f);
        EXPECT_EQ(plain->velocity.z, 0.0f);
        release(c.key);
        release('G');
    }
}

TEST_F(RockTest, SteeredRocksShowTheirTextureAndJumpOffTheGround) {
    Fall* rock = throwRock({0, 1.5f, 0}, {0, 0, 0});
    rock->kind = rockKindSteered;
    hold(keySpace);
    rock->update(tick());
    EXPECT_NEAR(rock->velocity.y, 1.4f * groundDrag, 1e-5);
    void* marking = getResource(records->resources, "Textures/overlayedsquare.bmp");
    const Texture* marked = static_cast<const Texture*>(marking);
    const Slot* texture = static_cast<const Slot*>(rock->owner->textureSlots.head->payload);
    EXPECT_EQ(texture->value, marked->textureId);
    EXPECT_EQ(texture->set, 1);
}

TEST_F(RockTest, HoldingFFreezesMotionAndAgeing) {
    Fall* rock = throwRock({3, 1000, 4}, {1, 0, 0});
    records->liveRocks = 250; // crowded: every rock would age
    hold('F');
    for (int frame = 0; frame < 10; ++frame) {
        rock->update(tick());
    }
    EXPECT_EQ(rock->age, 0);
    EXPECT_EQ(rock->velocity.x, 1.0f);
    EXPECT_EQ(rock->velocity.y, 0.0f);
    EXPECT_EQ(rock->owner->position.y, 1000.0f);
    release('F');
    rock->update(tick());
    EXPECT_EQ(rock->age, 1);
}

TEST_F(RockTest, TheRockBeyondTheCrowdLimitRetiresExactlyTheOldestAfter701Frames) {
    for (int i = 0; i < crowdLimit + 1; ++i) {
        throwRock({float(i * 10), 1000, 0}, {0, 0, 0});
    }
    RenderList& scene = records->sceneList;
    void* oldest = scene.head->payload;
    void* secondOldest = scene.head->next->payload;
    for (int frame = 1; frame <= 700; ++frame) {
        updateBehaviours(scene, tick());
    }
    EXPECT_EQ(countNodes(scene.head), 201);
    EXPECT_EQ(liveCount(), 200); // the oldest is fading and no longer counted
    EXPECT_EQ(scene.head->payload, oldest);
    updateBehaviours(scene, tick());
    EXPECT_EQ(countNodes(scene.head), 200);
    EXPECT_EQ(scene.head->payload, secondOldest);
    EXPECT_EQ(liveCount(), 200);
    // The removed rock's sphere and body are gone from the physics as well.
    EXPECT_EQ(countNodes(records->bodies.head), 200);
    for (int frame = 0; frame < 100; ++frame) {
        updateBehaviours(scene, tick());
    }
    EXPECT_EQ(countNodes(scene.head), 200); // nothing else ages while 200 are live
}
