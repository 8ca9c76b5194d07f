// The sphere-box contact test per call against Bullet's sphere-box algorithm on the same
// spheres and boxes, and the physics step with 200, 1,000 and 3,000 rocks piled in the valley.
// Each runs beside the straightforward version of tests/physics/physics_reference.cpp, which
// gives the same bits and shows what the engine's own version saves.

#include "physics/contact.h"
#include "physics/physics_step.h"
#include "tests/physics/physics_reference.h"
#include "tests/physics/rock_scene.h"

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>
#include <BulletCollision/CollisionDispatch/btSphereBoxCollisionAlgorithm.h>
#include <benchmark/benchmark.h>
#include <btBulletCollisionCommon.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <vector>

using namespace valley;

namespace {

const float rockRadius = 1.5f * 0.91f; // a thrown rock's sphere: scale 1.5, cube mesh extent 1
const float rockMass = rockRadius * rockRadius * 12.566371f / 10.0f;

// ---- Sphere against box ----

struct ContactCase {
    int box;
    CollisionSphere sphere;
};

// Rocks about the five blocks: a point of a face, edge or corner, moved by up to two radii
// each way, so that about half overlap the box and the rest are near it.
std::vector<ContactCase> contactCases(const std::vector<BoxCollider>& boxes) {
    SceneRandom random(31337);
    std::vector<ContactCase> cases;
    for (int i = 0; i < 4096; ++i) {
        const int b = static_cast<int>(random.below(static_cast<uint32_t>(boxes.size())));
        const BoxCollider& box = boxes[b];
        float p[3] = {random.between(-box.halfExtent.x, box.halfExtent.x),
                      random.between(-box.halfExtent.y, box.halfExtent.y),
                      random.between(-box.halfExtent.z, box.halfExtent.z)};
        const float h[3] = {box.halfExtent.x, box.halfExtent.y, box.halfExtent.z};
        const int pinned = 1 + static_cast<int>(random.below(3));
        for (int k = 0; k < pinned; ++k) {
            const int axis = static_cast<int>(random.below(3));
            p[axis] = random.chance(0.5f) ? h[axis] : -h[axis];
        }
        const float reach = 2.0f * rockRadius;
        Vec3 local = {p[0] + random.between(-reach, reach), p[1] + random.between(-reach, reach),
                      p[2] + random.between(-reach, reach)};
        rotateX(local, -box.rotation.x);
        rotateZ(local, -box.rotation.z);
        rotateY(local, -box.rotation.y);
        CollisionSphere sphere = {
            rockRadius,
            rockMass,
            {box.position.x + local.x, box.position.y + local.y, box.position.z + local.z},
            {0, 0, 0},
            true};
        cases.push_back({b, sphere});
    }
    return cases;
}

std::vector<BoxCollider> valleyBoxes() {
    std::vector<BoxCollider> boxes;
    for (const BoxState& block : valleyBlocks()) {
        BoxCollider box = {};
        box.halfExtent = block.halfExtent;
        box.position = block.position;
        box.rotation = block.rotation;
        box.enabled = true;
        boxes.push_back(box);
    }
    return boxes;
}

template <typename Contact> void runContacts(benchmark::State& state, Contact contact) {
    const std::vector<BoxCollider> boxes = valleyBoxes();
    const std::vector<ContactCase> cases = contactCases(boxes);
    int64_t contacts = 0;
    for (auto _ : state) {
        for (const ContactCase& c : cases) {
            ContactResult result;
            contact(result, boxes[c.box], c.sphere);
            benchmark::DoNotOptimize(result);
            contacts += result.penetration < 0.0f ? 1 : 0;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cases.size()));
    state.counters["contact share"] = static_cast<double>(contacts) / (state.iterations() * cases.size());
}

void BM_ContactSphereBox(benchmark::State& state) { runContacts(state, contactSphereBox); }
void BM_ContactSphereBoxDirect(benchmark::State& state) { runContacts(state, referenceContactSphereBox); }

// Bullet's side: the same boxes (box to world: turn about x, then z, then y, as the engine's
// box directions leave box space) and the same spheres. Bullet's default configuration hands
// sphere-box pairs to its general convex algorithm; its sphere-box algorithm is made directly.
struct BulletPairs {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btSphereShape sphereShape{rockRadius};
    btCollisionObject sphereObject;
    std::vector<std::unique_ptr<btBoxShape>> boxShapes;
    std::vector<std::unique_ptr<btCollisionObject>> boxObjects;
    std::deque<btCollisionObjectWrapper> boxWrappers; // Bullet keeps them off the heap: a deque places them
    btCollisionObjectWrapper sphereWrapper{
        nullptr, &sphereShape, &sphereObject, sphereObject.getWorldTransform(), -1, -1};
    std::vector<btSphereBoxCollisionAlgorithm*> sphereBox;
    std::vector<btCollisionAlgorithm*> dispatched;
    std::vector<std::unique_ptr<btManifoldResult>> results;
    std::vector<btVector3> centres;

    BulletPairs(const std::vector<BoxCollider>& boxes, const std::vector<ContactCase>& cases) {
        sphereObject.setCollisionShape(&sphereShape);
        const btScalar toRadians = SIMD_PI / 180;
        btSphereBoxCollisionAlgorithm::CreateFunc makeSphereBox;
        btCollisionAlgorithmConstructionInfo info(&dispatcher, 1);
        for (const BoxCollider& box : boxes) {
            boxShapes.push_back(std::make_unique<btBoxShape>(
                btVector3(box.halfExtent.x, box.halfExtent.y, box.halfExtent.z)));
            auto object = std::make_unique<btCollisionObject>();
            object->setCollisionShape(boxShapes.back().get());
            const btQuaternion turn = btQuaternion(btVector3(0, 1, 0), box.rotation.y * toRadians) *
                                      btQuaternion(btVector3(0, 0, 1), box.rotation.z * toRadians) *
                                      btQuaternion(btVector3(1, 0, 0), box.rotation.x * toRadians);
            object->setWorldTransform(
                btTransform(turn, btVector3(box.position.x, box.position.y, box.position.z)));
            boxWrappers.emplace_back(nullptr, boxShapes.back().get(), object.get(),
                                     object->getWorldTransform(), -1, -1);
            boxObjects.push_back(std::move(object));
            btCollisionObjectWrapper* boxWrapper = &boxWrappers.back();
            sphereBox.push_back(static_cast<btSphereBoxCollisionAlgorithm*>(
                makeSphereBox.CreateCollisionAlgorithm(info, &sphereWrapper, boxWrapper)));
            dispatched.push_back(
                dispatcher.findAlgorithm(&sphereWrapper, boxWrapper, nullptr, BT_CONTACT_POINT_ALGORITHMS));
            results.push_back(std::make_unique<btManifoldResult>(&sphereWrapper, boxWrapper));
        }
        for (const ContactCase& c : cases) {
            centres.emplace_back(c.sphere.center.x, c.sphere.center.y, c.sphere.center.z);
        }
    }
    ~BulletPairs() {
        for (btCollisionAlgorithm* algorithm : sphereBox) {
            algorithm->~btCollisionAlgorithm();
            dispatcher.freeCollisionAlgorithm(algorithm);
        }
        for (btCollisionAlgorithm* algorithm : dispatched) {
            algorithm->~btCollisionAlgorithm();
            dispatcher.freeCollisionAlgorithm(algorithm);
        }
    }

    // One sphere against its box through an algorithm, into the pair's persistent manifold.
    void process(btCollisionAlgorithm* algorithm, const ContactCase& c, size_t i,
                 const btDispatcherInfo& info) {
        sphereObject.getWorldTransform().setOrigin(centres[i]);
        algorithm->processCollision(&sphereWrapper, &boxWrappers[c.box], info, results[c.box].get());
    }
};

// The bare sphere-box test: closest point on the box, normal and depth of one sphere.
void BM_BulletSphereDistance(benchmark::State& state) {
    const std::vector<BoxCollider> boxes = valleyBoxes();
    const std::vector<ContactCase> cases = contactCases(boxes);
    BulletPairs bullet(boxes, cases);
    int64_t contacts = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const int b = cases[i].box;
            btVector3 pointOnBox;
            btVector3 normal;
            btScalar depth = 0;
            const bool hit = bullet.sphereBox[b]->getSphereDistance(
                &bullet.boxWrappers[b], pointOnBox, normal, depth, bullet.centres[i], rockRadius, 0);
            benchmark::DoNotOptimize(pointOnBox);
            benchmark::DoNotOptimize(normal);
            benchmark::DoNotOptimize(depth);
            contacts += hit && depth < 0 ? 1 : 0;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cases.size()));
    state.counters["contact share"] = static_cast<double>(contacts) / (state.iterations() * cases.size());
}

// The pair as a Bullet world runs it: the algorithm's processCollision into the pair's
// persistent contact manifold. Bullet's sphere-box algorithm, or (argument 1) the one its
// default dispatcher picks for a sphere and a box.
void BM_BulletProcessCollision(benchmark::State& state) {
    const std::vector<BoxCollider> boxes = valleyBoxes();
    const std::vector<ContactCase> cases = contactCases(boxes);
    BulletPairs bullet(boxes, cases);
    const std::vector<btCollisionAlgorithm*> algorithms =
        state.range(0) == 0
            ? std::vector<btCollisionAlgorithm*>(bullet.sphereBox.begin(), bullet.sphereBox.end())
            : bullet.dispatched;
    btDispatcherInfo info;
    for (auto _ : state) {
        for (size_t i = 0; i < cases.size(); ++i) {
            bullet.process(algorithms[cases[i].box], cases[i], i, info);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cases.size()));
}

BENCHMARK(BM_ContactSphereBox);
BENCHMARK(BM_ContactSphereBoxDirect);
BENCHMARK(BM_BulletSphereDistance);
BENCHMARK(BM_BulletProcessCollision)->ArgName("defaultDispatch")->Arg(0)->Arg(1);

// ---- The physics step ----

// Rocks thrown a few a frame, as a player throws them, into hollows of the ground where they
// gather (the valley's low ground, the lake, against the blocks), and left to settle under the
// engine's own step, so that the piles have the contacts the game gives them. The state after
// the last frame is what every benchmark iteration steps from.
struct SettledValley {
    std::unique_ptr<RockScene> scene;
    RockScene::Saved saved;
    double pairsPerRock = 0;  // overlapping sphere pairs, each counted for both rocks
    double rocksOnBoxes = 0;  // share of the rocks overlapping a block
    double rocksTouching = 0; // share of the rocks overlapping another
};

// Hollows beside blocks 1, 4 and 5 and on open ground: x, z, the lowest height.
struct Hollow {
    float x;
    float z;
    float bottom;
};

std::vector<Hollow> hollows() {
    std::vector<Hollow> found = {{-23, -70, 12}, {-60, -33, 12}, {60, 60, 0}, {-20, 20, -5}};
    // Against the faces of blocks 1 and 4: a point just outside a face, the hollow's bottom
    // a little below it.
    const std::vector<BoxState> blocks = valleyBlocks();
    const Vec3 faces[] = {{1.05f, 0, 0}, {-1.05f, 0, 0.3f}, {0, 0, 1.05f}, {0.5f, 0, -1.05f}};
    for (int b : {0, 3}) {
        const BoxState& block = blocks[b];
        for (const Vec3& face : faces) {
            Vec3 v = {face.x * block.halfExtent.x, face.y * block.halfExtent.y, face.z * block.halfExtent.z};
            rotateX(v, -block.rotation.x);
            rotateZ(v, -block.rotation.z);
            rotateY(v, -block.rotation.y);
            found.push_back({block.position.x + v.x, block.position.z + v.z, block.position.y + v.y - 3.0f});
        }
    }
    return found;
}

SettledValley settleValley(int count) {
    SceneRandom random(static_cast<uint32_t>(count));
    const std::vector<Hollow> spots = hollows();
    auto groundAt = [&spots](float x, float z) {
        float lowest = 1e9f;
        for (const Hollow& h : spots) {
            lowest = std::min(lowest, h.bottom + 0.04f * ((x - h.x) * (x - h.x) + (z - h.z) * (z - h.z)));
        }
        return std::min(lowest, 40.0f);
    };
    std::vector<RockState> rocks;
    for (int i = 0; i < count; ++i) {
        const Hollow& spot = spots[i % spots.size()];
        RockState rock = {};
        rock.position = {spot.x + random.between(-3, 3), spot.bottom + 15.0f + random.between(0, 10),
                         spot.z + random.between(-3, 3)};
        rock.radius = rockRadius;
        rock.mass = rockMass;
        rock.velocity = {random.between(-0.3f, 0.3f), random.between(-0.5f, 0), random.between(-0.3f, 0.3f)};
        rock.previousVelocity = rock.velocity;
        rock.active = false; // thrown later
        rock.sphereEnabled = false;
        rocks.push_back(rock);
    }
    SettledValley settled;
    settled.scene = std::make_unique<RockScene>(rocks, valleyBlocks());
    RockScene& scene = *settled.scene;
    const int perFrame = count / 150 + 1;
    int thrown = 0;
    for (int frame = 0; frame < 400; ++frame) {
        for (int k = 0; k < perFrame && thrown < count; ++k, ++thrown) {
            scene.body(thrown).active = true;
            scene.sphere(thrown).enabled = true;
        }
        scene.updateRocks(groundAt);
        stepPhysics(scene.bodyList(), scene.world());
        integrateBodies(scene.bodyList());
    }
    scene.updateRocks(groundAt);
    settled.saved = scene.save();

    stepPhysics(scene.bodyList(), scene.world());
    for (size_t i = 0; i < scene.size(); ++i) {
        settled.rocksTouching += scene.body(i).touching ? 1 : 0;
        const CollisionSphere& a = scene.sphere(i);
        for (size_t j = 0; j < scene.size(); ++j) {
            const CollisionSphere& b = scene.sphere(j);
            const float dx = b.center.x - a.center.x;
            const float dy = b.center.y - a.center.y;
            const float dz = b.center.z - a.center.z;
            const float reach = a.radius + b.radius;
            settled.pairsPerRock += i != j && dx * dx + dy * dy + dz * dz - reach * reach < 0.0f ? 1 : 0;
        }
        ContactResult contact;
        for (ListNode* node = scene.world().boxes.head; node != nullptr; node = node->next) {
            contactSphereBox(contact, *static_cast<BoxCollider*>(node->payload), a);
            if (contact.penetration < 0.0f) {
                settled.rocksOnBoxes += 1;
                break;
            }
        }
    }
    settled.pairsPerRock /= count;
    settled.rocksOnBoxes /= count;
    settled.rocksTouching /= count;
    scene.restore(settled.saved);
    return settled;
}

SettledValley& settledValley(int count) {
    static std::map<int, SettledValley> made;
    auto found = made.find(count);
    if (found == made.end()) {
        found = made.emplace(count, settleValley(count)).first;
    }
    return found->second;
}

template <typename Step> void runStep(benchmark::State& state, Step step) {
    SettledValley& valley = settledValley(static_cast<int>(state.range(0)));
    RockScene& scene = *valley.scene;
    for (auto _ : state) {
        state.PauseTiming();
        scene.restore(valley.saved);
        state.ResumeTiming();
        step(scene.bodyList(), scene.world());
        integrateBodies(scene.bodyList());
    }
    scene.restore(valley.saved);
    state.counters["pairs per rock"] = valley.pairsPerRock;
    state.counters["rocks on boxes"] = valley.rocksOnBoxes;
    state.counters["rocks touching"] = valley.rocksTouching;
}

void BM_StepPhysics(benchmark::State& state) { runStep(state, stepPhysics); }
void BM_StepPhysicsAllPairs(benchmark::State& state) { runStep(state, referenceStepPhysics); }

BENCHMARK(BM_StepPhysics)->Arg(200)->Arg(1000)->Arg(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepPhysicsAllPairs)->Arg(200)->Arg(1000)->Arg(3000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
