#include "game/fall.h"

#include "assets/mesh_data.h"
#include "assets/resource_cache.h"
#include "assets/texture.h"
#include "core/fnv_hash.h"
#include "core/random.h"
#include "game/controls.h"
#include "physics/height_grid.h"
#include "physics/physics_world.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace valley {

namespace {

const float gravity = 0.07f;
const float airDrag = 0.997f;
const float groundDrag = 0.986f;
const float waterDrag = 0.97f;
const float maxLift = 0.8f;

// One draw of 0 to 32767: the generator reaches 2147483647, and only its low 15 bits are kept;
// every use below is scaled for that range.
int randomDraw(RandomGenerator& random) { return nextRandom(random) & 0x7FFF; }

// randomDraw / 32767 in real arithmetic, rounded to float: -0.5 to 0.5 after the offset.
float randomOffset(RandomGenerator& random) { return static_cast<float>(randomDraw(random) / 32767.0 - 0.5); }

const Texture* cachedTexture(ResourceCache& cache, const char* name) {
    return static_cast<const Texture*>(getResource(cache, name));
}

} // namespace

void Fall::setUp(const Tick& tick) {
    tick.liveRocks += 1;
    waterLevel = tick.waterLevel;
    firstUpdate = 1;
    lastPosition = owner->position;
    steerStep = 0.02f;
    age = 0;
    lifeSpan = 700;
    fadeParts = 12;
    frozen = 0;
    fading = 0;
    spin = 0.0f;

    owner->scale = {1.5f, 1.5f, 1.5f};
    groundOffset = owner->mesh->extent.x * owner->scale.x;

    sphere = &makeCollisionSphere(*new CollisionSphere, *owner->mesh, owner->scale);
    body = &initRigidBody(*new RigidBody, owner->position);
    body->sphere = sphere;
    addBody(tick.bodies, body);
    body->velocity = velocity;
    body->previousVelocity = velocity;

    makeTextureSlots(*owner);
    setTexture(*owner, "Texture1", tick.rockTexture);
    makeBlendSlots(*owner);
    makeNormalMatrixSlots(*owner);
    blend = 1.0f;
    setBlend(*owner, &blend);

    kind = rockKindPlain;
    if (randomDraw(tick.random) % 3 == 0) {
        setTexture(*owner, "Texture1", cachedTexture(tick.resources, "Textures/rock1.bmp"));
        kind = rockKindDark;
    }
    airborne = 1;
}

void Fall::update(const Tick& tick) {
    const InputState& input = tick.input;
    owner->position = body->place; // where the physics step left the rock
    if (firstUpdate == 0) {
        velocity = body->previousVelocity;
    } else if (kind == rockKindSteered) {
        setTexture(*owner, "Texture1", cachedTexture(tick.resources, "Textures/overlayedsquare.bmp"));
    }
    firstUpdate = 0;

    if (controlHeld(input, Control::shake)) {
        velocity.x += randomOffset(tick.random);
        velocity.y += randomOffset(tick.random);
        velocity.z += randomOffset(tick.random);
    }
    steer(tick);

    frozen = controlHeld(input, Control::pause) ? 1 : 0;
    if (!frozen) {
        double ageingFrom = static_cast<double>(lifeSpan) / fadeParts * (fadeParts - 1);
        if (tick.liveRocks > crowdLimit || age > ageingFrom) {
            age += 1;
        }
        turnAndRoll(yawOf(scale(displacement, 20.0f)));
        velocity = scale(velocity, airDrag);
        velocity.y -= gravity;
        float ground = touchGround(tick);
        if (owner->position.y <= ground + groundOffset) {
            velocity = scale(velocity, groundDrag);
        }
        slowInWater(tick);
    }

    handToPhysics();
    rotationMat4(rotationMatrix, owner->rotation);
    setNormalMatrix(*owner, &rotationMatrix);
    displacement = subtract(owner->position, lastPosition);
    lastPosition = owner->position;

    fade(tick);
    if (age > lifeSpan) {
        remove(tick); // this behaviour no longer exists afterwards
    }
}

// Steered rocks follow the steering controls (forward, back, left, right) relative to the view.
void Fall::steer(const Tick& tick) {
    const InputState& input = tick.input;
    float forward = 0.0f;
    float side = 0.0f;
    if (controlHeld(input, Control::steerForward)) {
        forward += steerStep;
    }
    if (controlHeld(input, Control::steerBack)) {
        forward -= steerStep;
    }
    if (controlHeld(input, Control::steerLeft)) {
        side -= steerStep;
    }
    if (controlHeld(input, Control::steerRight)) {
        side += steerStep;
    }
    if (controlHeld(input, Control::fastSteer)) {
        forward *= 5.0f;
        side *= 5.0f;
    }
    float c = cosineViaDoubleRadians(tick.view.yaw);
    float s = sineViaDoubleRadians(tick.view.yaw);
    if (kind == rockKindSteered) {
        velocity.x += c * forward - s * side;
        velocity.z += s * forward + c * side;
    }
}

// On the ground or in the water the rock turns to face where it goes, then rolls.
void Fall::turnAndRoll(float heading) {
    Vec3& rotation = owner->rotation;
    if (!airborne || owner->position.y < waterLevel) {
        float d = length(displacement);
        if (d > spin + 0.2f * d) {
            spin += 0.2f * d;
        } else {
            spin = d;
        }
        float c = static_cast<float>(std::fmod(360.0f * sineViaDoubleRadians(-heading - rotation.y), 180.0f));
        c = std::clamp(c, -100.0f, 100.0f);
        c *= std::min(d, 1.0f);
        if (std::fabs(rotation.y - c) < 0.2f) {
            c = 0.0f;
        }
        rotation.y -= 0.25f * c;
    }
    rotation.z -= cosineViaDoubleRadians(rotation.y + heading) * spin * 30.0f / owner->scale.x;
}

// Bounces off the ground along its normal: half the speed back, nothing below 0.2.
// Returns the ground height under the rock.
float Fall::touchGround(const Tick& tick) {
    const GroundSample sample = groundHeightAt(tick.world, owner->position.x, owner->position.z);
    const float ground = sample.height;
    if (owner->position.y > ground + groundOffset) {
        airborne = 1;
    } else {
        Vec3 angles;
        anglesOf(sample.normal, angles);
        Vec3 v = velocity;
        intoFrame(v, angles);
        if (v.x < 0.0f) {
            v.x = -0.5f * v.x;
        }
        if (v.x < 0.2f) {
            v.x = 0.0f;
        }
        owner->position.y = ground + groundOffset;
        outOfFrame(v, angles);
        velocity = v;
        airborne = 0;
        if (kind == rockKindSteered && controlHeld(tick.input, Control::rockJump)) {
            velocity.y += 1.4f;
        }
    }
    return ground;
}

// Under the water the rock is slowed and lifted, the deeper the more, and bobs a little.
void Fall::slowInWater(const Tick& tick) {
    if (owner->position.y >= waterLevel) {
        return;
    }
    velocity = scale(velocity, waterDrag);
    velocity.y += (waterLevel - owner->position.y) * 0.005f;
    if (velocity.y >= maxLift) {
        velocity.y = maxLift;
    }
    if (randomDraw(tick.random) / 32767.0 < 0.08) {
        velocity.y += static_cast<float>((randomDraw(tick.random) / 32767.0 - 0.5) * 0.015);
    }
}

uint32_t Fall::hashState(uint32_t hash) const {
    return fnvAddVec3(fnvAddVec3(hash, owner->position), velocity);
}

void Fall::handToPhysics() {
    sphere->center = owner->position;
    body->place = owner->position;
    sphere->velocity = velocity;
    body->velocity = velocity;
    body->previousVelocity = velocity;
}

// Once crowded, a rock past the last part of its life fades out and stops counting as live.
void Fall::fade(const Tick& tick) {
    if (tick.liveRocks <= crowdLimit) {
        return;
    }
    double step = static_cast<double>(lifeSpan) / fadeParts;
    double threshold = step * (fadeParts - 1);
    if (age > threshold && owner->blendSlots.head != nullptr) {
        blend = static_cast<float>(1.0 - (age - threshold) / step);
        if (fading == 0) {
            tick.liveRocks -= 1;
            fading = 1;
        }
    }
}

// Takes the sphere and body out of the physics and frees them, then destroys the owner and
// with it this behaviour.
void Fall::remove(const Tick& tick) {
    sphere->enabled = false;
    body->active = false;
    releaseBody(tick.bodies, body);
    destroyRenderObject(owner, tick.sceneList);
}

} // namespace valley
